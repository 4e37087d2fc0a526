#pragma once

#include <QString>

#include <optional>

// How long a statement waits for a lock that another program holds on the
// host database, from the own INI file's key "Sperrzeit".
namespace LockWait {

inline constexpr int kDefaultSeconds = 30;

// The seconds the setting asks for: empty gives 30, otherwise a whole number
// from 1 to 600. Nothing, with the German refusal of the run in refusal, for
// any other value.
std::optional<int> secondsOf(const QString& sperrzeit, QString* refusal);

// What the user reads when a statement gave up waiting for a lock.
QString lockedMessage(int seconds);

} // namespace LockWait
