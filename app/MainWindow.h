// The main window: the text to convert, the two glyph lists, the two commands and the box that
// shows the art.
#pragma once

#include <QWidget>
#include <string>
#include <string_view>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The handlers work in GBK; the toolkit in UTF-16. Texts cross between them through the same
// conversions the engine uses, so a text reads back exactly as it was set.
std::string GbkFromQString(const QString& text);
QString QStringFromGbk(std::string_view gbk);

class MainWindow final : public QWidget {
    Q_OBJECT

public:
    // Creates every control, then runs OnMainWindowCreated before the window can take input.
    MainWindow();
    // Runs OnMainWindowDestroying. The window lives on main()'s stack, so this happens after
    // the event loop has returned and never while a command is still inside its handler.
    ~MainWindow() override;

    // The controls' texts as GBK.
    std::string InputText() const;
    std::string EmptyGlyph() const;
    std::string FilledGlyph() const;
    // Replaces the whole content of the art box.
    void SetArtText(std::string_view gbk);

private:
    void OnMainWindowCreated();
    void OnMainWindowDestroying();
    void OnConvertClicked();
    void OnGeneratePictureClicked();

    QLineEdit* inputEdit_;
    QComboBox* emptyGlyphCombo_;
    QComboBox* filledGlyphCombo_;
    QPushButton* convertButton_;
    QPushButton* generatePictureButton_;
    QPlainTextEdit* artEdit_;
    bool sessionEnded_ = false;
};
