#include "audio/modVolumeControl.h"

#include "platform/GlobalMemory.h"
#include "platform/MessageBox.h"

#include <cmath>

namespace modVolumeControl {
namespace {

HMIXER MixerHandle = 0;
MIXERLINE Line;
MIXERLINECONTROLS LineControls;
MIXERCONTROL Control{};
MIXERCONTROLDETAILS Details;
HGLOBAL DetailsBlock = nullptr;
std::uint32_t Level = 0;
MMRESULT LastResult = MMSYSERR_NOERROR;
bool LastReadSucceeded = false;
std::optional<std::int32_t> Startup;

}  // namespace

MIXERCONTROL& VolumeControl()
{
    return Control;
}

void OpenMixer()
{
    LastResult = mixerOpen(&MixerHandle, 0, 0, 0, MIXER_OBJECTF_MIXER);
    if (LastResult != MMSYSERR_NOERROR) {
        MsgBox(QStringLiteral("No mixer found!"), MsgIcon::None);
        return;
    }
    FindVolumeControl(MixerHandle, Control);
}

bool FindVolumeControl(HMIXER mixer, MIXERCONTROL& control)
{
    Line.cbStruct = kMixerLineSize;
    Line.dwDestination = 0;
    LastResult = mixerGetLineInfoA(mixer, &Line, MIXER_GETLINEINFOF_DESTINATION);
    if (LastResult != MMSYSERR_NOERROR)
        return false;
    LineControls.cbStruct = kMixerLineControlsSize;
    LineControls.dwLineID = Line.dwLineID;
    LineControls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    LineControls.cControls = 1;
    LineControls.cbmxctrl = kMixerControlSize;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, kMixerControlSize);
    LineControls.pamxctrl = GlobalLock(block);
    control.cbStruct = kMixerControlSize;
    LastResult = mixerGetLineControlsA(mixer, &LineControls, MIXER_GETLINECONTROLSF_ONEBYTYPE);
    const bool found = LastResult == MMSYSERR_NOERROR;
    if (found)
        RtlMoveMemory(&control, LineControls.pamxctrl, kMixerControlSize);
    GlobalFree(block);
    LineControls.pamxctrl = nullptr;
    return found;
}

void PrepareControlDetails()
{
    Level = 0;
    Details.cbStruct = kMixerControlDetailsSize;
    Details.dwControlID = Control.dwControlID;
    Details.cChannels = 1;
    Details.cMultipleItems = 0;
    Details.cbDetails = kControlValueSize;
    DetailsBlock = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, kControlValueSize);
    Details.paDetails = GlobalLock(DetailsBlock);
}

namespace {
void freeDetailsBlock()
{
    GlobalFree(DetailsBlock);
    DetailsBlock = nullptr;
    Details.paDetails = nullptr;
}
}  // namespace

std::uint32_t ReadVolume(MIXERCONTROL&)
{
    OpenMixer();
    PrepareControlDetails();
    const MMRESULT read = mixerGetControlDetailsA(MixerHandle, &Details, MIXER_GETCONTROLDETAILSF_VALUE);
    LastResult = read;
    RtlMoveMemory(&Level, Details.paDetails, kControlValueSize);
    freeDetailsBlock();
    mixerClose(MixerHandle);
    LastReadSucceeded = read == MMSYSERR_NOERROR;
    return LastReadSucceeded ? Level : 0;
}

bool WriteVolumePercent(MIXERCONTROL& control, std::int32_t percent)
{
    PrepareControlDetails();
    // In 64 bits: a control with a wide raw range must not overflow the product.
    const std::int64_t product = std::int64_t(control.lMaximum) * percent;
    Level = static_cast<std::uint32_t>(std::nearbyint(double(product) / 100));  // halves to even
    RtlMoveMemory(Details.paDetails, &Level, kControlValueSize);
    LastResult = mixerSetControlDetails(MixerHandle, &Details, MIXER_SETCONTROLDETAILSF_VALUE);
    freeDetailsBlock();
    return LastResult == MMSYSERR_NOERROR;
}

void SetMasterVolume(std::int32_t percent)
{
    OpenMixer();
    WriteVolumePercent(Control, percent);
    mixerClose(MixerHandle);
}

void RecordStartupVolume()
{
    Control.lMaximum = 0;  // a maximum is only ever that of a control found now
    const std::uint32_t raw = ReadVolume(Control);
    if (!LastReadSucceeded || Control.lMaximum <= 0) {
        Startup.reset();
        return;
    }
    Startup = static_cast<std::int32_t>(std::nearbyint(double(raw) / Control.lMaximum * 100));
}

std::optional<std::int32_t> StartupVolumePercent()
{
    return Startup;
}

void RestoreStartupVolume()
{
    if (Startup)
        SetMasterVolume(*Startup);
}

}  // namespace modVolumeControl
