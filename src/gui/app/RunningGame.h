// A second start of a running game brings the running one to the front: the game that
// holds the instance lock listens on a local socket beside its lock file, and a start that
// finds the lock taken asks it, through that socket, to raise its window, then ends.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>

class QLocalServer;
class QWindow;

namespace lumor {

// The socket's path for the lock file at `lockPath`: the lock's name with ".sock" for
// ".lock", in the same folder of the user's own. A path too long for a socket name gets a
// short name in the user's runtime folder instead; empty when there is none.
QString raiseSocketPath(const std::string& lockPath);

// Held by the running game for as long as it holds the lock.
class RaiseListener final : public QObject {
public:
    // Listens at `socketPath` (a socket left there by a game that ended is replaced: the
    // lock says nobody else listens). `raise` is called for each request; by default it
    // brings the window the player used last to the front.
    explicit RaiseListener(const QString& socketPath, std::function<void()> raise = {});
    ~RaiseListener() override;
    RaiseListener(const RaiseListener&) = delete;
    RaiseListener& operator=(const RaiseListener&) = delete;

    bool listening() const;

private:
    QLocalServer* server_;
    std::function<void()> raise_;
    QPointer<QWindow> lastActive_;
};

// Asks the game listening at `socketPath` to raise its window. False when nobody answers
// (a game too old to listen, or one that is just ending).
bool askRunningGameToRaise(const QString& socketPath);

// Shows `window` (un-minimised) on top of the others and gives it the keyboard: for a
// modal box open in the game, the box.
void bringToFront(QWindow* window);

}  // namespace lumor
