#include "recordsheet/SheetItemsFile.h"

#include <QSaveFile>

const char* const SheetItemsFile::kHeader
    = "trial,administration,item,first_digit,second_digit,sum,mark,marked_by,latency_ms,heard,confidence,flags";

namespace {

// A field with a comma, a quote or a line end goes in quotes, its quotes doubled.
QByteArray field(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r'))
        bytes = '"' + bytes.replace("\"", "\"\"") + '"';
    return bytes;
}

QByteArray markName(const SheetAdministration& given, int item)
{
    if (item >= given.presented())  // also while the run may still give it: not given yet
        return "not given";
    switch (given.marks[std::size_t(item)]) {
    case SheetMark::Correct: return "correct";
    case SheetMark::Wrong: return "wrong";
    case SheetMark::None: break;
    }
    return "none";
}

// latency_ms (one decimal), heard, confidence (two decimals), flags.
QByteArray voiceFields(const SheetVoice& voice)
{
    return (voice.latencyMs ? QByteArray::number(*voice.latencyMs, 'f', 1) : QByteArray()) + ','
           + (voice.heard ? QByteArray::number(*voice.heard) : QByteArray()) + ',' + QByteArray::number(voice.confidence, 'f', 2)
           + ',' + field(voice.flags());
}

}  // namespace

QByteArray SheetItemsFile::csv(const RecordSheet& sheet)
{
    QByteArray out = QByteArray(kHeader) + "\r\n";
    const std::vector<SheetAdministration>& all = sheet.administrations();
    for (int n = 0; n < int(all.size()); ++n) {
        const SheetAdministration& given = all[std::size_t(n)];
        const std::span<const int> digits = digitsOf(given.set);
        const QByteArray trial = field(given.shortName()), administration = QByteArray::number(sheet.ordinal(n));
        for (int item = 0; item < int(given.sums.size()); ++item) {
            const std::size_t at = std::size_t(item);
            const std::optional<SheetVoice>& voice = given.voice[at];
            const QByteArray markedBy = given.byExaminer[at] && (given.marks[at] != SheetMark::None || voice) ? "examiner"
                                        : !given.byExaminer[at] && voice                        ? "voice"
                                                                                                : "";
            out += trial + ',' + administration + ',' + QByteArray::number(item + 1) + ','
                   + QByteArray::number(digits[std::size_t(item)]) + ',' + QByteArray::number(digits[std::size_t(item) + 1]) + ','
                   + QByteArray::number(given.sums[std::size_t(item)]) + ',' + markName(given, item) + ','
                   + markedBy + ',' + (voice ? voiceFields(*voice) : QByteArray(",,,")) + "\r\n";
        }
    }
    return out;
}

bool SheetItemsFile::write(const RecordSheet& sheet, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = csv(sheet);
    return file.write(text) == text.size() && file.commit();
}
