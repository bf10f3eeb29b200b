#include "platform/Mixer.h"

#include "platform/AlsaMixer.h"

#include <cstring>

namespace {

constexpr std::uint32_t kLineId = 0xFFFF0000;  // destination line 0
constexpr std::uint32_t kControlId = 1;         // its volume control

MixerBackend* g_backend = nullptr;
HMIXER g_openHandle = 0;
HMIXER g_lastHandle = 0;

MixerBackend& backend()
{
    return g_backend ? *g_backend : AlsaMixer::instance();
}

bool isOpen(HMIXER mixer)
{
    return mixer != 0 && mixer == g_openHandle;
}

bool detailsValid(const MIXERCONTROLDETAILS* d)
{
    return d && d->cbStruct == kMixerControlDetailsSize && d->dwControlID == kControlId
           && d->cChannels == 1 && d->cbDetails == kControlValueSize && d->paDetails;
}

}  // namespace

void setMixerBackend(MixerBackend* b)
{
    if (g_openHandle)
        backend().close();
    g_openHandle = 0;
    g_backend = b;
}

// One handle is open at a time; opening again first closes the handle before.
MMRESULT mixerOpen(HMIXER* mixer, std::uint32_t device, std::uintptr_t callback, std::uintptr_t,
                   std::uint32_t flags)
{
    if (!mixer || callback != 0 || flags != MIXER_OBJECTF_MIXER)
        return MMSYSERR_INVALPARAM;
    if (g_openHandle)
        mixerClose(g_openHandle);
    if (device != 0 || !backend().open())
        return MMSYSERR_BADDEVICEID;
    g_openHandle = ++g_lastHandle;
    *mixer = g_openHandle;
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineInfoA(HMIXER mixer, MIXERLINE* line, std::uint32_t flags)
{
    if (!isOpen(mixer))
        return MMSYSERR_INVALHANDLE;
    if (!line || line->cbStruct != kMixerLineSize || flags != MIXER_GETLINEINFOF_DESTINATION)
        return MMSYSERR_INVALPARAM;
    if (line->dwDestination != 0)
        return MIXERR_INVALLINE;
    line->dwLineID = kLineId;
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineControlsA(HMIXER mixer, MIXERLINECONTROLS* controls, std::uint32_t flags)
{
    if (!isOpen(mixer))
        return MMSYSERR_INVALHANDLE;
    if (!controls || controls->cbStruct != kMixerLineControlsSize
        || flags != MIXER_GETLINECONTROLSF_ONEBYTYPE || controls->cControls != 1
        || controls->cbmxctrl != kMixerControlSize || !controls->pamxctrl)
        return MMSYSERR_INVALPARAM;
    if (controls->dwLineID != kLineId)
        return MIXERR_INVALLINE;
    if (controls->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME)
        return MIXERR_INVALCONTROL;
    const std::int32_t maximum = backend().maximum();
    if (maximum <= 0)
        return MIXERR_INVALCONTROL;
    MIXERCONTROL control{};
    control.cbStruct = kMixerControlSize;
    control.dwControlID = kControlId;
    control.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    std::strncpy(control.szShortName, "Master", sizeof control.szShortName - 1);
    std::strncpy(control.szName, "Master Volume", sizeof control.szName - 1);
    control.lMinimum = 0;
    control.lMaximum = maximum;
    std::memcpy(controls->pamxctrl, &control, sizeof control);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details, std::uint32_t flags)
{
    if (!isOpen(mixer))
        return MMSYSERR_INVALHANDLE;
    if (!detailsValid(details) || flags != MIXER_GETCONTROLDETAILSF_VALUE)
        return MMSYSERR_INVALPARAM;
    if (backend().maximum() <= 0)
        return MIXERR_INVALCONTROL;
    std::uint32_t level = 0;
    if (!backend().read(level))
        return MMSYSERR_ERROR;
    std::memcpy(details->paDetails, &level, sizeof level);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerSetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, std::uint32_t flags)
{
    if (!isOpen(mixer))
        return MMSYSERR_INVALHANDLE;
    if (!detailsValid(details) || flags != MIXER_SETCONTROLDETAILSF_VALUE)
        return MMSYSERR_INVALPARAM;
    const std::int32_t maximum = backend().maximum();
    if (maximum <= 0)
        return MIXERR_INVALCONTROL;
    std::uint32_t level = 0;
    std::memcpy(&level, details->paDetails, sizeof level);
    if (level > std::uint32_t(maximum))
        return MMSYSERR_INVALPARAM;
    return backend().write(level) ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

MMRESULT mixerClose(HMIXER mixer)
{
    if (!isOpen(mixer))
        return MMSYSERR_INVALHANDLE;
    backend().close();
    g_openHandle = 0;
    return MMSYSERR_NOERROR;
}
