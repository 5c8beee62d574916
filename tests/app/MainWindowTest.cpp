#include "app/MainWindow.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>
#include <memory>

#include "gdiplus/GdipObject.h"

namespace {

// GDI+ answers GdipAlloc only while a session is open.
bool GdiplusRunning() {
    void* p = Gdiplus::DllExports::GdipAlloc(16);
    Gdiplus::DllExports::GdipFree(p);
    return p != nullptr;
}

QByteArray Gbk(const std::string& text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QCOMPARE(g_gdiplusToken, 0u); }
    void cleanup() { QCOMPARE(g_gdiplusToken, 0u); }

    void window() {
        MainWindow w;
        QCOMPARE(w.windowTitle(), QStringLiteral("青柚工坊文本转字符画"));
        QCOMPARE(w.geometry(), QRect(50, 50, 706, 308));
        QVERIFY(w.isWindow());
        QVERIFY(w.parentWidget() == nullptr);
        QVERIFY(!w.isModal());
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::newRow("input") << "编辑框_欲转换字符"
                               << "QLineEdit" << QRect(14, 16, 434, 24) << "青柚工坊";
        QTest::newRow("empty glyph") << "组合框1"
                                     << "QComboBox" << QRect(454, 19, 48, 20) << "○";
        QTest::newRow("filled glyph") << "组合框2"
                                      << "QComboBox" << QRect(510, 19, 48, 20) << "●";
        QTest::newRow("convert") << "按钮_转换"
                                 << "QPushButton" << QRect(560, 16, 48, 24) << "转换";
        QTest::newRow("generate picture") << "按钮_生成图片"
                                          << "QPushButton" << QRect(614, 16, 72, 24) << "生成图片";
        QTest::newRow("art") << "编辑框_字符画"
                             << "QPlainTextEdit" << QRect(14, 47, 672, 216) << "";
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        MainWindow w;
        const auto matches = w.findChildren<QWidget*>(name);
        QCOMPARE(matches.size(), 1);
        QWidget* control = matches.front();
        QCOMPARE(control->metaObject()->className(), className);
        QCOMPARE(control->parentWidget(), &w);
        QCOMPARE(control->geometry(), geometry);
        QVERIFY(control->isEnabled());
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            QCOMPARE(edit->text(), text);
            QVERIFY(!edit->isReadOnly());
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            QCOMPARE(combo->currentIndex(), 0);
            QCOMPARE(combo->currentText(), text);
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            QCOMPARE(button->text(), text);
        } else if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
            QCOMPARE(box->toPlainText(), text);
        }
    }

    void glyphLists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("empty glyph") << "组合框1" << QStringList{"○", "◇", "☆", "□"};
        QTest::newRow("filled glyph") << "组合框2" << QStringList{"●", "◆", "★", "■"};
    }
    void glyphLists() {
        QFETCH(QString, name);
        QFETCH(QStringList, items);
        MainWindow w;
        auto* combo = w.findChild<QComboBox*>(name);
        QVERIFY(combo);
        QStringList actual;
        for (int i = 0; i < combo->count(); ++i)
            actual << combo->itemText(i);
        QCOMPARE(actual, items);
        QVERIFY(!combo->isEditable());
    }

    // Right after start the commands would see "○" and "●", as GBK.
    void startSelectionAsGbk() {
        MainWindow w;
        QCOMPARE(Gbk(w.EmptyGlyph()), QByteArray("\xA1\xF0"));
        QCOMPARE(Gbk(w.FilledGlyph()), QByteArray("\xA1\xF1"));
        QCOMPARE(Gbk(w.InputText()), QByteArray("\xC7\xE0\xE8\xD6\xB9\xA4\xB7\xBB"));

        w.findChild<QComboBox*>("组合框1")->setCurrentIndex(2);
        w.findChild<QComboBox*>("组合框2")->setCurrentIndex(2);
        QCOMPARE(Gbk(w.EmptyGlyph()), QByteArray("\xA1\xEE"));   // ☆
        QCOMPARE(Gbk(w.FilledGlyph()), QByteArray("\xA1\xEF"));  // ★
    }

    void artBox() {
        MainWindow w;
        auto* box = w.findChild<QPlainTextEdit*>("编辑框_字符画");
        QVERIFY(box);
        QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(box->wordWrapMode(), QTextOption::NoWrap);
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!box->isReadOnly());

        // A line far wider than the box stays one line and scrolls instead.
        const QString row = QString("○●").repeated(300);
        box->setPlainText(row + "\n" + row);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(box->document()->blockCount(), 2);
        QCOMPARE(box->document()->firstBlock().layout()->lineCount(), 1);
        QVERIFY(box->horizontalScrollBar()->maximum() > 0);
    }

    // Every offered pair must line up in the art box, so all eight glyphs are equally wide and
    // come from the box's own font rather than a fallback.
    void artFontLinesUpGlyphs() {
        MainWindow w;
        const QFont font = w.findChild<QPlainTextEdit*>("编辑框_字符画")->font();
        qInfo("art font: %s", qPrintable(QFontInfo(font).family()));
        const QFontMetrics metrics(font);
        const QString glyphs = "○●◇◆☆★□■";
        const int advance = metrics.horizontalAdvance(glyphs.at(0));
        QVERIFY(advance > 0);
        for (QChar glyph : glyphs) {
            QVERIFY2(metrics.inFont(glyph), qPrintable(QString(glyph)));
            QCOMPARE(metrics.horizontalAdvance(glyph), advance);
        }
        QCOMPARE(metrics.horizontalAdvance(QString("○●").repeated(50)), 100 * advance);
    }

    void textsCrossAsGbk_data() {
        QTest::addColumn<QByteArray>("gbk");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("default input")
            << QByteArray("\xC7\xE0\xE8\xD6\xB9\xA4\xB7\xBB") << QStringLiteral("青柚工坊");
        QTest::newRow("art rows") << QByteArray("\xA1\xF0\xA1\xF1\r\n\xA1\xF1\xA1\xF0\r\n")
                                  << QStringLiteral("○●\r\n●○\r\n");
        QTest::newRow("outside GBK")
            << QByteArray("\x81\x30\x8A\x31\x94\x39\xFC\x36") << QString::fromUtf8("ä😀");
    }
    void textsCrossAsGbk() {
        QFETCH(QByteArray, gbk);
        QFETCH(QString, text);
        const std::string_view bytes(gbk.constData(), size_t(gbk.size()));
        QCOMPARE(QStringFromGbk(bytes), text);
        QCOMPARE(Gbk(GbkFromQString(text)), gbk);

        MainWindow w;
        w.findChild<QLineEdit*>("编辑框_欲转换字符")->setText(text);
        QCOMPARE(Gbk(w.InputText()), gbk);
    }

    void setArtTextReplacesTheWholeContent() {
        MainWindow w;
        auto* box = w.findChild<QPlainTextEdit*>("编辑框_字符画");
        box->setPlainText("old\nrows");
        w.SetArtText("\xA1\xF0\xA1\xF1\n\xA1\xF1\xA1\xF0");
        QCOMPARE(box->toPlainText(), QStringLiteral("○●\n●○"));
        w.SetArtText("");
        QCOMPARE(box->toPlainText(), QString());
    }

    void sessionLastsAsLongAsTheWindow() {
        QVERIFY(!GdiplusRunning());
        {
            MainWindow w;
            QVERIFY(g_gdiplusToken != 0);
            QVERIFY(GdiplusRunning());
        }
        QCOMPARE(g_gdiplusToken, 0u);
        QVERIFY(!GdiplusRunning());
        ShutdownGdiplus();  // a second shutdown has nothing left to end
        QCOMPARE(g_gdiplusToken, 0u);
        QVERIFY(!GdiplusRunning());
    }

    // Closing only hides the window; the session ends once, when the window is destroyed,
    // however many clicks came before, and leaves any other session open.
    void closingEndsOnlyItsOwnSessionOnce() {
        ULONG_PTR otherToken = 0;
        Gdiplus::GdiplusStartupInput input{1, nullptr, FALSE, FALSE};
        QCOMPARE(Gdiplus::GdiplusStartup(&otherToken, &input, nullptr), Gdiplus::Ok);

        auto w = std::make_unique<MainWindow>();
        const uint32_t token = g_gdiplusToken;
        QVERIFY(token != 0);
        QVERIFY(token != otherToken);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(w->findChild<QPushButton*>("按钮_转换"), Qt::LeftButton);
            QTest::mouseClick(w->findChild<QPushButton*>("按钮_生成图片"), Qt::LeftButton);
        }
        QVERIFY(w->close());
        QCoreApplication::processEvents();
        QCOMPARE(g_gdiplusToken, token);

        w.reset();
        QCOMPARE(g_gdiplusToken, 0u);
        QVERIFY(GdiplusRunning());  // the other session was not touched
        Gdiplus::GdiplusShutdown(otherToken);
        QVERIFY(!GdiplusRunning());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
