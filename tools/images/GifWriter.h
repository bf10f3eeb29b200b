#pragma once

#include <QByteArray>
#include <QImage>

// Writes a small picture as a GIF89a file: one frame, not interlaced, a 64-entry global colour
// table (63 colours chosen by median cut, the picture composited over `background` where it is
// partly transparent) and one graphic control extension marking the near-white entry
// `transparentColour` as transparent for every pixel whose alpha is below one half.
QByteArray writeGif64(const QImage& picture, QRgb background, QRgb transparentColour);
