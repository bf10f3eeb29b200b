#pragma once

// ALSA reports on stderr what it recovers from by itself (an underrun when the machine stalls,
// a missing plugin while probing); the user has nothing to do about it. Call before using ALSA.
void silenceAlsaMessages();
