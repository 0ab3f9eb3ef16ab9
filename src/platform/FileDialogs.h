#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <string_view>

class QWidget;

// The open and save dialogs behind a replaceable provider, so tests answer
// them.
namespace kelvara {

class FileDialogProvider {
public:
    virtual ~FileDialogProvider() = default;
    // The chosen files in the dialog's order; empty when cancelled.
    virtual QStringList OpenFileNames(QWidget* parent, const QString& filter) = 0;
    // The chosen name (the dialog asked before replacing an existing file);
    // empty when cancelled. `proposed` is the name offered at first.
    virtual QString SaveFileName(QWidget* parent, const QString& filter,
                                 const QString& proposed) = 0;
};

FileDialogProvider& FileDialogs();
// Installs a provider; null restores the Qt dialogs.
void SetFileDialogs(std::unique_ptr<FileDialogProvider> provider);

// The dialogs' filter from Kelvara's form ("description|pattern|..." in the
// text code page) to Qt's ("description (pattern);;..."). A description
// without its pattern is dropped.
QString QtFileFilter(std::string_view filter);

} // namespace kelvara
