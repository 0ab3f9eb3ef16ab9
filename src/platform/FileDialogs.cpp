#include "platform/FileDialogs.h"

#include <QFileDialog>

#include "platform/UiText.h"

namespace kelvara {

namespace {

class QtFileDialogs : public FileDialogProvider {
public:
    QStringList OpenFileNames(QWidget* parent, const QString& filter) override {
        return QFileDialog::getOpenFileNames(parent, QString(), QString(), filter);
    }
    QString SaveFileName(QWidget* parent, const QString& filter, const QString& proposed) override {
        return QFileDialog::getSaveFileName(parent, QString(), proposed, filter);
    }
};

std::unique_ptr<FileDialogProvider>& Provider() {
    static std::unique_ptr<FileDialogProvider> provider = std::make_unique<QtFileDialogs>();
    return provider;
}

} // namespace

FileDialogProvider& FileDialogs() { return *Provider(); }

void SetFileDialogs(std::unique_ptr<FileDialogProvider> provider) {
    Provider() = provider ? std::move(provider) : std::make_unique<QtFileDialogs>();
}

QString QtFileFilter(std::string_view filter) {
    const QStringList parts = TextToQt(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt separates patterns by blanks and reads them from the entry's
        // last parentheses.
        const QString pattern = parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        if (pattern.isEmpty()) continue;
        const QString description = parts[i].trimmed();
        const QString patterns = QStringLiteral("(") + pattern + QLatin1Char(')');
        entries.append(description.endsWith(patterns) ? description
                                                      : description + QLatin1Char(' ') + patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace kelvara
