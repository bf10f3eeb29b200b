#include "sound/SystemSoundProbe.h"

#include "sound/AlsaDefault.h"
#include "sound/BackendModule.h"

std::string SystemSoundProbe::alsaDefaultType()
{
    return ::alsaDefaultType();
}

QString SystemSoundProbe::serverName()
{
    const std::unique_ptr<SoundDevices> devices = BackendModule::soundDevices();
    return devices ? devices->names().server : QString();
}
