#pragma once

#include <QDialog>

class QLabel;

namespace kelvara {

// "关于": the product, its version, and two lines that start the mail
// program and the web browser.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    static constexpr const char* kVersion = KELVARA_VERSION;
    static constexpr const char* kMailAddress = "kelvara@example.org";
    static constexpr const char* kWebAddress = "https://example.org/kelvara";

    void CommentsClick();
    void Label1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* ProductName_ = nullptr;
};

} // namespace kelvara
