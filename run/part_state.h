#pragma once
// What a switching step found its part of the client to be when it ended: the tray's last
// picture shows that, not the state the run aimed at.
namespace tunlatch {

enum class PartState { On, Off, Unknown };

}  // namespace tunlatch
