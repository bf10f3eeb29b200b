#pragma once

#include "platform/Mixer.h"

#include <optional>

// The master output volume behind the volume slider. Every read or write opens the mixer, finds
// the master volume control afresh, makes its one value call and closes the mixer again; a failed
// open says "No mixer found!" each time.
namespace modVolumeControl {

// Opens mixer device 0 into the handle and looks up its volume control into VolumeControl().
void OpenMixer();
// Looks up the volume control of destination line 0 into `control`; true when found.
bool FindVolumeControl(HMIXER mixer, MIXERCONTROL& control);
// Fills the details record for one value of VolumeControl() and allocates its 4-byte block.
void PrepareControlDetails();
// The raw level of the control (opening and closing the mixer); 0 when the read failed.
std::uint32_t ReadVolume(MIXERCONTROL& control);
// Sets the control to `percent` of its maximum, halves to even; true when the mixer took it.
bool WriteVolumePercent(MIXERCONTROL& control, std::int32_t percent);
// Open, look-up, write, close.
void SetMasterVolume(std::int32_t percent);

// The control found last.
MIXERCONTROL& VolumeControl();

// At load: notes the master volume in whole percent, before the slider applies its own.
void RecordStartupVolume();
// The level noted at load; nothing when it could not be read (no mixer, no control, a failed
// read), so that the exit leaves the volume alone rather than muting the computer.
std::optional<std::int32_t> StartupVolumePercent();
// At exit: puts the noted level back, when there is one.
void RestoreStartupVolume();

}  // namespace modVolumeControl
