#pragma once

#include <QByteArrayList>
#include <QObject>
#include <QString>

class QLocalServer;

// One running Kelvara per settings file: the first start listens on a local
// socket; a later start hands the files named on its command line to it
// (which comes to the front and opens them) and ends.
namespace kelvara {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name: the product title, the user and the settings file.
    static QString ServerName(const std::string& settingsFile);

    // Hands `paths` (file system bytes) to a running instance; true when one
    // took them.
    bool HandOver(const QByteArrayList& paths, int timeoutMs = 3000);

    // Starts listening, replacing a socket left behind by a crashed run;
    // false when another instance listens already or the socket cannot be made.
    bool Listen();

signals:
    // A later start asked to come forward and open these paths.
    void PathsReceived(const QByteArrayList& paths);

private:
    void Accept();

    QString serverName_;
    QLocalServer* server_ = nullptr;
};

} // namespace kelvara
