#pragma once
// The engine's sound hooks: the program entry installs them before CreateEngine, so that the engine makes
// the AudioDevice (on its timer's game clock), runs the voice scheduler once per presented frame and deletes
// the device at shutdown. While the device exists it is the scheduler GetVoiceScheduler returns.
namespace engine {

void InstallAudioDeviceHooks();

}  // namespace engine
