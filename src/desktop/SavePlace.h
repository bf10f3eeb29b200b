#pragma once

#include <QString>

// Where a file the examiner saves is first offered: `name` in the user's documents folder, or in
// the home folder where there is none (a file dialog given a folder that does not exist opens the
// program's working folder instead).
QString savePlace(const QString& name);
