#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "app/MainForm.h"
#include "app/MdiChild.h"
#include "common/AppPaths.h"
#include "common/AskUser.h"
#include "common/FileEncoding.h"
#include "common/IniFile.h"
#include "common/ProcessValues.h"
#include "platform/UiText.h"

namespace kelvara {

namespace {

constexpr const char* kFrameSection = "MainForm";

// A document of the session that the user reopened in a code page ("编码")
// comes back in it: "N.codepage" of [lastopened] names it. Detected ones
// have no key, so a session that never chose one writes no such line; a key
// left by an earlier session is emptied.
std::string CodePageKey(std::size_t index) { return std::to_string(index) + ".codepage"; }

std::optional<CodePage> SessionCodePage(const TIniFile& settings, int index) {
    const std::string name =
        settings.ReadString("lastopened", CodePageKey(static_cast<std::size_t>(index)), "");
    for (const CodePage codePage : {CodePage::Gbk, CodePage::Utf8})
        if (name == EncodingName(PlainEncoding(codePage))) return codePage;
    return std::nullopt;
}

void WriteSessionCodePage(TIniFile& settings, std::size_t index, std::optional<CodePage> codePage) {
    const std::string key = CodePageKey(index);
    if (codePage)
        settings.WriteString("lastopened", key, EncodingName(PlainEncoding(*codePage)));
    else if (settings.ReadString("lastopened", key, "-") != "-")
        settings.WriteString("lastopened", key, "");
}

} // namespace

std::string TMainForm::DataFile(const char* name) const {
    if (dataFolder_.empty()) return DataFileName(name);
    return dataFolder_ + "/" + name;
}

void TMainForm::LoadSettings() {
    settingsLoaded_ = true;
    documentCounter_ = 0;
    const TIniFile settings(settingsFile_);
    PlaceFrame(settings);
    lbfile_.clear();
    lbfileSelected_ = -1;
    // Every file of the previous run that still exists comes back, whatever
    // its extension.
    const int count = settings.ReadInteger("lastopened", "count", 0);
    for (int i = 0; i < count; ++i) {
        const std::string path =
            settings.ReadString("lastopened", std::to_string(i) + ".opened", "");
        if (!path.empty() && StampOfFile(path).size >= 0)
            OpenDocumentWith(path, false, SessionCodePage(settings, i));
    }
    history_.clear();
    const int entries = settings.ReadInteger("MenuMenu", "count", 0);
    for (int i = 0; i < entries; ++i) {
        const std::string key = std::to_string(i);
        std::string caption = settings.ReadString("MenuMenu", key + ".CC", "");
        std::string path = settings.ReadString("MenuMenu", key + ".HH", "");
        if (!path.empty() && StampOfFile(path).size >= 0)
            history_.push_back({std::move(caption), std::move(path)});
    }
    RebuildHistoryMenu();
    ReadExtensions();
    setWindowTitle(QStringLiteral("Kelvara"));
    UpdateDocumentCommands(0);
    DocumentEventsEnabled = true;
    SyncWithActive();
    // After the frame is drawn, so that its notice does not stand on an
    // empty screen.
    QTimer::singleShot(0, this, [this] { OpenRecovered(); });
}

void TMainForm::ReadExtensions() {
    const TIniFile extensions(DataFile("extention.txt"));
    ExtensionList.clear();
    FilterEntries.clear();
    const int count = extensions.ReadInteger("real", "count", 0);
    for (int i = 0; i < count; ++i) {
        const std::string key = std::to_string(i);
        std::string real = extensions.ReadString("real", key, "");
        FilterEntries.push_back(extensions.ReadString("disp", key, "") + real);
        ExtensionList.push_back(std::move(real));
    }
    FileFilter.clear();
    for (const std::string& entry : FilterEntries)
        FileFilter.append(entry).push_back('|');
    if (!FileFilter.empty()) FileFilter.pop_back();
}

// The place of the previous run, else nearly the whole screen.
void TMainForm::PlaceFrame(const TIniFile& settings) {
    const int width = settings.ReadInteger(kFrameSection, "width", 0);
    const int height = settings.ReadInteger(kFrameSection, "height", 0);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (width >= 200 && height >= 150) {
        QRect place(settings.ReadInteger(kFrameSection, "left", 3),
                    settings.ReadInteger(kFrameSection, "top", 1), width, height);
        if (!available.intersects(place)) place.moveTopLeft(available.topLeft());
        setGeometry(place);
        if (settings.ReadInteger(kFrameSection, "maximized", 0) == 1) showMaximized();
        return;
    }
    setGeometry(available.left() + 3, available.top() + 1, available.width() - 10,
                available.height() - 30);
}

void TMainForm::SaveSettings() {
    TIniFile settings(settingsFile_);
    settings.WriteInteger("lastopened", "count", static_cast<int>(lbfile_.size()));
    for (std::size_t i = 0; i < lbfile_.size(); ++i) {
        settings.WriteString("lastopened", std::to_string(i) + ".opened", lbfile_[i].path);
        WriteSessionCodePage(settings, i, lbfile_[i].window->ChosenCodePage());
    }
    settings.WriteInteger("MenuMenu", "count", static_cast<int>(history_.size()));
    for (std::size_t i = 0; i < history_.size(); ++i) {
        const std::string key = std::to_string(i);
        settings.WriteString("MenuMenu", key + ".CC", history_[i].caption);
        settings.WriteString("MenuMenu", key + ".HH", history_[i].path);
    }
    const QRect place = normalGeometry();
    settings.WriteInteger(kFrameSection, "left", place.left());
    settings.WriteInteger(kFrameSection, "top", place.top());
    settings.WriteInteger(kFrameSection, "width", place.width());
    settings.WriteInteger(kFrameSection, "height", place.height());
    settings.WriteInteger(kFrameSection, "maximized", isMaximized() ? 1 : 0);
    if (const FileStatus error = settings.UpdateFile())
        AskUser(PathInText(error->Message()), "Kelvara", 2);
}

} // namespace kelvara
