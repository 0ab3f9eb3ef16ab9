#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

#include "common/LocaleCodePage.h"
#include "platform/UiText.h"

namespace kelvara {

namespace {

// Installed while loaded; replaced by the next call.
QTranslator* gKelvara = nullptr;
QTranslator* gQt = nullptr;

void Remove(QTranslator*& translator) {
    if (translator == nullptr) return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
}

bool Install(QTranslator*& slot, const QString& file) {
    auto* translator = new QTranslator;
    if (!translator->load(file)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    slot = translator;
    return true;
}

void Report(const std::string& message) {
    std::fputs(TextToLocale("kelvara: " + message + "\n").c_str(), stderr);
}

} // namespace

void InstallTranslations(Language language, const std::string& folder) {
    Remove(gKelvara);
    Remove(gQt);
    if (const FileStatus error = UseLanguage(language, folder)) {
        Report(error->Message());
        return;
    }
    if (language == Language::Chinese) {
        // Qt's buttons (Yes, No, Cancel) in Chinese, where its catalogue is installed.
        Install(gQt, QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                         QStringLiteral("/qtbase_zh_CN.qm"));
        return;
    }
    const std::string file = folder + CatalogueFileName(language);
    if (!Install(gKelvara, PathToQt(file))) Report(file + ": not a translation catalogue");
}

} // namespace kelvara
