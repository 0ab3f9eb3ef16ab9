#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvara {

class DocumentFrame;
class DocumentWindow;
class TSourceEdit;

// The find/replace dialog of one document: it stays on top, drives the search
// operations of the document's highlighted view, and goes with its document
// window. Closing it releases it; the next command makes a new one.
class Tfrmdaohangtest : public QDialog {
    Q_OBJECT

public:
    enum class Mode { Find, Replace };

    Tfrmdaohangtest(DocumentFrame& frame, DocumentWindow& document);

    // "查找当前" / "替换当前": the dialog of the document, made when it has
    // none, in the mode and in front.
    static Tfrmdaohangtest* Open(DocumentFrame& frame, DocumentWindow& document, Mode mode);

    void SetMode(Mode mode);
    DocumentWindow& Document() const noexcept { return document_; }

    void BitBtn1Click();
    void BitBtn2Click();
    void Button1Click();
    void Button2Click();

    QLabel* Label1;
    QLineEdit* Edit1;
    QWidget* Panel3;
    QLabel* Label2;
    QLineEdit* Edit2;
    QCheckBox* CheckBox6;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBoxRegex; // "正则表达式": the find text is a regular expression
    QCheckBox* CheckBox4;
    QCheckBox* CheckBox5;
    QCheckBox* CheckBox7;
    QCheckBox* CheckBox8;
    QCheckBox* CheckBox10;
    QCheckBox* CheckBox11;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* CreateOptions();
    // The highlighted view, in front.
    TSourceEdit& View();
    void SetOptions(TSourceEdit& view);
    // Sets the view's regular expression from the boxes (or none); false
    // after a message when it cannot be used.
    bool SetRegex(TSourceEdit& view, bool replacing);
    // Tells of a row the last search gave up on.
    void TellLimit(const TSourceEdit& view);
    // A text as typed (UTF-8) in the code page of the view's text; false
    // (after a message) when the code page cannot hold it.
    bool InViewPage(const TSourceEdit& view, const std::string& typed, std::string& out);

    DocumentFrame& frame_;
    DocumentWindow& document_;
};

} // namespace kelvara
