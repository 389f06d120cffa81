#pragma once

#include <QString>

#include <sys/types.h>

// The folder that holds the guard's socket, lock file and block key file. It must be one that
// only this user can enter: in a folder that others can write, another user could take the lock
// first, listen on the socket path first or put a segment of their own at the block's key, and
// so block, capture or stop every start of the program.
class RuntimeFolder
{
public:
    enum class Verdict { Private, Missing, NotAFolder, ForeignOwner, WrongMode };

    // Modes other than this one let someone else in (or keep the owner out).
    static constexpr mode_t PrivateMode = 0700;

    // The rule: a folder itself (a link is not taken), owned by uid, with exactly PrivateMode.
    static Verdict judge(const QString &path, uid_t uid);
    static QString describe(Verdict verdict);

    // $XDG_RUNTIME_DIR where it is set and private; otherwise "runtime-<user>" in the temporary
    // folder (the name Qt gives the same fallback), made on first use. Empty, with a warning,
    // when no private folder can be had.
    static QString locate();

    // The fallback folder of the rule above for this user.
    static QString temporaryFallback();

    // Creates the folder with PrivateMode when it is missing; whether it is private now, with a
    // warning when it is not.
    static bool make(const QString &path);

private:
    RuntimeFolder() = delete;
};
