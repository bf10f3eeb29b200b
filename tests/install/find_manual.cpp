// Checks where the program looks for its manual from an executable folder:
//   find_manual <executable folder> <expected manual path>
#include "ui/HelpDocuments.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString found = manualPath(QString::fromLocal8Bit(argv[1]));
    const QString expected = QFileInfo(QString::fromLocal8Bit(argv[2])).canonicalFilePath();
    std::printf("manual: %s\n", qPrintable(found));
    return !expected.isEmpty() && QFileInfo(found).canonicalFilePath() == expected ? 0 : 1;
}
