#pragma once

#include <cstdint>

// The mixer calls the volume control makes, with their records. Mixer device 0 is the
// computer's master output: its destination line 0 carries one volume control whose raw range is
// 0 to lMaximum. Every call returns 0 (MMSYSERR_NOERROR) on success.
using MMRESULT = std::uint32_t;
using HMIXER = std::uint32_t;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MIXERR_INVALLINE = 1024;
constexpr MMRESULT MIXERR_INVALCONTROL = 1025;

constexpr std::uint32_t MIXER_OBJECTF_MIXER = 0;
constexpr std::uint32_t MIXER_GETLINEINFOF_DESTINATION = 0;
constexpr std::uint32_t MIXER_GETLINECONTROLSF_ONEBYTYPE = 2;
constexpr std::uint32_t MIXER_GETCONTROLDETAILSF_VALUE = 0;
constexpr std::uint32_t MIXER_SETCONTROLDETAILSF_VALUE = 0;
constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;

// The records as the caller fills them; cbStruct carries the record sizes of the published
// 32-bit layout (168, 24, 152, 24), which the calls check.
constexpr std::uint32_t kMixerLineSize = 168;
constexpr std::uint32_t kMixerLineControlsSize = 24;
constexpr std::uint32_t kMixerControlSize = 152;
constexpr std::uint32_t kMixerControlDetailsSize = 24;
constexpr std::uint32_t kControlValueSize = 4;

struct MIXERLINE {
    std::uint32_t cbStruct = 0;
    std::uint32_t dwDestination = 0;
    std::uint32_t dwLineID = 0;
};

struct MIXERLINECONTROLS {
    std::uint32_t cbStruct = 0;
    std::uint32_t dwLineID = 0;
    std::uint32_t dwControlType = 0;
    std::uint32_t cControls = 0;
    std::uint32_t cbmxctrl = 0;
    void* pamxctrl = nullptr;
};

// The published control record followed by 4 spare bytes: 152 bytes in all.
struct MIXERCONTROL {
    std::uint32_t cbStruct;
    std::uint32_t dwControlID;
    std::uint32_t dwControlType;
    std::uint32_t fdwControl;
    std::uint32_t cMultipleItems;
    char szShortName[16];
    char szName[64];
    std::int32_t lMinimum;
    std::int32_t lMaximum;
    std::uint32_t dwReservedBounds[4];
    std::uint32_t dwReservedMetrics[6];
    std::uint8_t spare[4];
};
static_assert(sizeof(MIXERCONTROL) == kMixerControlSize);

struct MIXERCONTROLDETAILS {
    std::uint32_t cbStruct = 0;
    std::uint32_t dwControlID = 0;
    std::uint32_t cChannels = 0;
    std::uint32_t cMultipleItems = 0;
    std::uint32_t cbDetails = 0;
    void* paDetails = nullptr;
};

MMRESULT mixerOpen(HMIXER* mixer, std::uint32_t device, std::uintptr_t callback,
                   std::uintptr_t instance, std::uint32_t flags);
MMRESULT mixerGetLineInfoA(HMIXER mixer, MIXERLINE* line, std::uint32_t flags);
MMRESULT mixerGetLineControlsA(HMIXER mixer, MIXERLINECONTROLS* controls, std::uint32_t flags);
MMRESULT mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details, std::uint32_t flags);
MMRESULT mixerSetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, std::uint32_t flags);
MMRESULT mixerClose(HMIXER mixer);

// What the calls reach: the master output volume of the computer, in raw control steps.
class MixerBackend {
public:
    virtual ~MixerBackend() = default;
    // Opens the master volume; false when there is none (no mixer, no such control).
    virtual bool open() = 0;
    virtual void close() = 0;
    // The top of the raw range (the bottom is 0), while open.
    virtual std::int32_t maximum() = 0;
    virtual bool read(std::uint32_t& level) = 0;
    virtual bool write(std::uint32_t level) = 0;
};

// Not owned; nullptr restores the real master volume.
void setMixerBackend(MixerBackend* backend);
