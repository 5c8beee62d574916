// The real window on a real X server: it must be where the layout puts it, and what the server
// shows must be what the widgets paint.
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QWindow>
#include <QtTest>

#include "app/MainWindow.h"
#include "gdiplus/GdipObject.h"

namespace {

constexpr QRect kClientArea(50, 50, 706, 308);

int DifferentPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return a.width() * a.height() + 1;
    int different = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            different += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
    return different;
}

int DarkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

}  // namespace

class MainWindowScreenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // A blinking text cursor would make two grabs of the same window differ.
        QApplication::setCursorFlashTime(0);
    }

    void windowAsShown() {
        MainWindow w;
        QVERIFY(g_gdiplusToken != 0);
        // Two rows whose only difference is hollow against filled glyphs.
        w.SetArtText("\xA1\xF0\xA1\xF0\xA1\xF0\xA1\xF0\r\n\xA1\xF1\xA1\xF1\xA1\xF1\xA1\xF1\r\n");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(300);  // let the first paint reach the server

        QCOMPARE(w.windowHandle()->title(), QStringLiteral("青柚工坊文本转字符画"));
        QCOMPARE(w.mapToGlobal(QPoint(0, 0)), kClientArea.topLeft());
        QCOMPARE(w.size(), kClientArea.size());
        QCOMPARE(w.findChild<QComboBox*>("组合框1")->currentText(), QStringLiteral("○"));
        QCOMPARE(w.findChild<QComboBox*>("组合框2")->currentText(), QStringLiteral("●"));

        const QImage screen =
            w.screen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        const QString shotPath = QCoreApplication::applicationDirPath() + "/charart-window.png";
        QVERIFY(screen.save(shotPath));
        qInfo("screenshot: %s", qPrintable(shotPath));

        // Whole window: the server shows exactly what the widgets render.
        const QImage onScreen = screen.copy(kClientArea);
        const QImage rendered = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(DifferentPixels(onScreen, rendered), 0);

        // Each control: at its place on the screen, and not a blank patch.
        for (QWidget* control : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QString name = control->objectName();
            const QRect onScreenRect = control->geometry().translated(kClientArea.topLeft());
            const QImage patch = screen.copy(onScreenRect);
            const QImage own = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QVERIFY2(DifferentPixels(patch, own) == 0, qPrintable(name));
            QVERIFY2(DarkPixels(patch) > 0, qPrintable(name));
        }

        // The glyphs are drawn, not replaced by boxes: the filled row is much darker.
        auto* box = w.findChild<QPlainTextEdit*>("编辑框_字符画");
        QTextCursor cursor(box->document());
        const QRect firstRow = box->cursorRect(cursor);
        cursor.movePosition(QTextCursor::NextBlock);
        const QRect secondRow = box->cursorRect(cursor);
        QVERIFY(secondRow.top() > firstRow.top());
        const QFontMetrics metrics(box->font());
        const int rowWidth = metrics.horizontalAdvance(QStringLiteral("○○○○"));
        const QPoint origin = box->viewport()->mapTo(&w, QPoint(0, 0)) + kClientArea.topLeft();
        const QImage hollow =
            screen.copy(QRect(firstRow.topLeft() + origin, QSize(rowWidth, firstRow.height())));
        const QImage filled =
            screen.copy(QRect(secondRow.topLeft() + origin, QSize(rowWidth, secondRow.height())));
        QVERIFY(DarkPixels(hollow) > 0);
        QVERIFY2(DarkPixels(filled) > 2 * DarkPixels(hollow),
                 qPrintable(QString("%1 vs %2").arg(DarkPixels(filled)).arg(DarkPixels(hollow))));
    }
};

QTEST_MAIN(MainWindowScreenTest)
#include "MainWindowScreenTest.moc"
