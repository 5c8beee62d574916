#include "app/MainWindow.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <array>

#include "app/Conversions.h"
#include "gdiplus/GdipObject.h"

namespace {

constexpr QRect kWindowGeometry(50, 50, 706, 308);
constexpr int kControlPixelSize = 12;
constexpr int kArtPixelSize = 12;

// Fonts for the art box, best first. The art only lines up when the empty and the filled glyph
// of every pair are equally wide, which proportional fallbacks do not promise.
const std::array<const char*, 4> kArtFontFamilies = {
    "WenQuanYi Zen Hei Mono",
    "WenQuanYi Zen Hei",
    "AR PL UMing CN",
    "AR PL UMing TW",
};
const std::array<const char*, 8> kOfferedGlyphs = {"○", "●", "◇", "◆", "☆", "★", "□", "■"};

bool GlyphsLineUp(const QFont& font) {
    const QFontMetrics metrics(font);
    int advance = -1;
    for (const char* glyph : kOfferedGlyphs) {
        const QString text = QString::fromUtf8(glyph);
        if (!metrics.inFont(text.at(0)))
            return false;
        const int width = metrics.horizontalAdvance(text);
        if (advance >= 0 && width != advance)
            return false;
        advance = width;
    }
    return advance > 0;
}

QFont ArtFont() {
    for (const char* family : kArtFontFamilies) {
        QFont font(QString::fromUtf8(family));
        font.setPixelSize(kArtPixelSize);
        font.setStyleHint(QFont::TypeWriter);
        if (GlyphsLineUp(font))
            return font;
    }
    // None installed: the toolkit's fixed-pitch font is the best remaining guess.
    QFont font(QStringLiteral("monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(kArtPixelSize);
    return font;
}

}  // namespace

std::string GbkFromQString(const QString& text) {
    return UnicodeToAnsi(Utf16ToBuffer(text.toStdU16String()));
}

QString QStringFromGbk(std::string_view gbk) {
    return QString::fromStdU16String(Utf16FromBuffer(AnsiToUnicode(gbk)));
}

MainWindow::MainWindow() {
    setWindowTitle(QStringLiteral("青柚工坊文本转字符画"));
    // Positions and sizes are those of the client area; the frame, if any, lies outside them.
    setGeometry(kWindowGeometry);
    setFixedSize(kWindowGeometry.size());

    QFont controlFont(QStringLiteral("WenQuanYi Zen Hei"));
    controlFont.setPixelSize(kControlPixelSize);
    setFont(controlFont);

    inputEdit_ = new QLineEdit(QStringLiteral("青柚工坊"), this);
    inputEdit_->setObjectName(QStringLiteral("编辑框_欲转换字符"));
    inputEdit_->setGeometry(14, 16, 434, 24);

    emptyGlyphCombo_ = new QComboBox(this);
    emptyGlyphCombo_->setObjectName(QStringLiteral("组合框1"));
    emptyGlyphCombo_->setGeometry(454, 19, 48, 20);
    emptyGlyphCombo_->addItems(
        {QStringLiteral("○"), QStringLiteral("◇"), QStringLiteral("☆"), QStringLiteral("□")});

    filledGlyphCombo_ = new QComboBox(this);
    filledGlyphCombo_->setObjectName(QStringLiteral("组合框2"));
    filledGlyphCombo_->setGeometry(510, 19, 48, 20);
    filledGlyphCombo_->addItems(
        {QStringLiteral("●"), QStringLiteral("◆"), QStringLiteral("★"), QStringLiteral("■")});

    convertButton_ = new QPushButton(QStringLiteral("转换"), this);
    convertButton_->setObjectName(QStringLiteral("按钮_转换"));
    convertButton_->setGeometry(560, 16, 48, 24);

    generatePictureButton_ = new QPushButton(QStringLiteral("生成图片"), this);
    generatePictureButton_->setObjectName(QStringLiteral("按钮_生成图片"));
    generatePictureButton_->setGeometry(614, 16, 72, 24);

    artEdit_ = new QPlainTextEdit(this);
    artEdit_->setObjectName(QStringLiteral("编辑框_字符画"));
    artEdit_->setGeometry(14, 47, 672, 216);
    // One line per pixel row: a wrapped line would break the picture.
    artEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    artEdit_->setWordWrapMode(QTextOption::NoWrap);
    artEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    artEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    artEdit_->setFont(ArtFont());

    connect(convertButton_, &QPushButton::clicked, this, &MainWindow::OnConvertClicked);
    connect(generatePictureButton_, &QPushButton::clicked, this,
            &MainWindow::OnGeneratePictureClicked);

    OnMainWindowCreated();
}

MainWindow::~MainWindow() {
    OnMainWindowDestroying();
}

std::string MainWindow::InputText() const {
    return GbkFromQString(inputEdit_->text());
}

std::string MainWindow::EmptyGlyph() const {
    return GbkFromQString(emptyGlyphCombo_->currentText());
}

std::string MainWindow::FilledGlyph() const {
    return GbkFromQString(filledGlyphCombo_->currentText());
}

void MainWindow::SetArtText(std::string_view gbk) {
    artEdit_->setPlainText(QStringFromGbk(gbk));
}

void MainWindow::OnMainWindowCreated() {
    StartGdiplus();  // its result is not checked: a failed start makes the commands fail quietly
    emptyGlyphCombo_->setCurrentIndex(0);
    filledGlyphCombo_->setCurrentIndex(0);
}

void MainWindow::OnMainWindowDestroying() {
    if (sessionEnded_)
        return;
    sessionEnded_ = true;
    ShutdownGdiplus();
}

void MainWindow::OnConvertClicked() {
    // Will render the input text and show it in the art box as a grid of the chosen glyphs.
}

void MainWindow::OnGeneratePictureClicked() {
    // Will render the input text and save it as a PNG beside the executable.
}
