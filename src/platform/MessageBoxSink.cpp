#include "platform/MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

#include "common/AskUser.h"
#include "platform/UiText.h"

namespace kelvara {

namespace {

QMessageBox::StandardButton ButtonOfCode(int code) {
    switch (code) {
    case kIdOk:
        return QMessageBox::Ok;
    case kIdCancel:
        return QMessageBox::Cancel;
    case kIdAbort:
        return QMessageBox::Abort;
    case kIdRetry:
        return QMessageBox::Retry;
    case kIdIgnore:
        return QMessageBox::Ignore;
    case kIdYes:
        return QMessageBox::Yes;
    case kIdNo:
        return QMessageBox::No;
    default:
        return QMessageBox::NoButton;
    }
}

int CodeOfButton(int button) {
    for (int code = kIdOk; code <= kIdNo; ++code)
        if (ButtonOfCode(code) == button) return code;
    return kIdCancel;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

int ShowMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(IconOf(request.style.icon), TextToQt(request.caption), TextToQt(request.text),
                    ButtonsOf(request.style.buttons), QApplication::activeWindow());
    box.setDefaultButton(ButtonOfCode(request.style.defaultButton));
    // Esc and the close box mean Cancel where there is one; else the single button.
    if (request.style.buttons == MessageButtons::YesNoCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (request.style.buttons == MessageButtons::Ok)
        box.setEscapeButton(QMessageBox::Ok);
    return CodeOfButton(box.exec());
}

} // namespace

void InstallMessageBoxSink() { SetAskUserSink(ShowMessageBox); }

} // namespace kelvara
