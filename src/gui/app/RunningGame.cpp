#include "app/RunningGame.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>
#include <QWindow>

#include <unistd.h>

namespace lumor {

namespace {

// A socket's address holds at most 107 bytes; stay well inside it.
constexpr qsizetype MaxSocketPath = 100;

bool raisable(const QWindow* w) {
    return w && w->isVisible() && (w->type() == Qt::Window || w->type() == Qt::Dialog);
}

}  // namespace

QString raiseSocketPath(const std::string& lockPath) {
    if (lockPath.empty()) return {};
    QString path = QFile::decodeName(QByteArray::fromStdString(lockPath));
    if (path.endsWith(QLatin1String(".lock"))) path.chop(5);
    path += QLatin1String(".sock");
    if (QFile::encodeName(path).size() <= MaxSocketPath) return path;
    const QString runtime = QStringLiteral("/run/user/%1").arg(::geteuid());
    const QFileInfo folder(runtime);
    if (!folder.isDir() || folder.ownerId() != ::geteuid()) return {};
    const QString shortName =
        QStringLiteral("/lumor-%1.sock")
            .arg(qHash(QFile::encodeName(path)) & 0xffffffffu, 8, 16, QLatin1Char('0'));
    return runtime + shortName;
}

RaiseListener::RaiseListener(const QString& socketPath, std::function<void()> raise)
    : server_(new QLocalServer(this)), raise_(std::move(raise)) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
            if (w) lastActive_ = w;
        });
    if (!raise_)
        raise_ = [this] {
            QWindow* target = nullptr;
            if (QWidget* modal = QApplication::activeModalWidget()) target = modal->windowHandle();
            if (!raisable(target)) target = lastActive_.data();
            if (!raisable(target)) {
                target = nullptr;
                for (QWindow* w : QGuiApplication::topLevelWindows())
                    if (raisable(w)) target = w;
            }
            if (target) bringToFront(target);
        };
    if (socketPath.isEmpty()) return;
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath);
    server_->listen(socketPath);
    // Every connection is a request: a second start that says nothing more than that.
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            peer->disconnectFromServer();
            raise_();
        }
    });
}

RaiseListener::~RaiseListener() {
    if (server_->isListening()) server_->close();  // removes the socket file
}

bool RaiseListener::listening() const { return server_->isListening(); }

bool askRunningGameToRaise(const QString& socketPath) {
    if (socketPath.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    // A listening game accepts at once (the system queues the connection for it); the
    // wait only bounds a socket that nobody serves.
    if (!socket.waitForConnected(2000)) return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    return true;
}

void bringToFront(QWindow* window) {
    if (window->windowStates() & Qt::WindowMinimized)
        window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
    window->raise();
    window->requestActivate();
}

}  // namespace lumor
