#include "listening/recogniser/SphinxRecogniser.h"

#include <pocketsphinx.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <utility>

namespace {

constexpr std::array<const char*, 17> kSums = {"two", "three", "four", "five", "six", "seven", "eight", "nine",
    "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen"};
// What else an examinee says instead of a sum: numbers out of the range, and hesitations.
constexpr std::array<const char*, 16> kOthers = {"zero", "one", "nineteen", "twenty", "thirty", "forty", "fifty",
    "sixty", "seventy", "eighty", "ninety", "hundred", "um", "uh", "er", "hmm"};
// The model's phones but silence and its noises, each a word of the phone loop ("ph_AA").
constexpr std::array<const char*, 39> kPhones = {"AA", "AE", "AH", "AO", "AW", "AY", "B", "CH", "D", "DH", "EH",
    "ER", "EY", "F", "G", "HH", "IH", "IY", "JH", "K", "L", "M", "N", "NG", "OW", "OY", "P", "R", "S", "SH", "T",
    "TH", "UH", "UW", "V", "W", "Y", "Z", "ZH"};
// Pronunciations of sums beside the dictionary's, found where synthetic voices were misread:
// "six" with its last consonant swallowed (without it espeak's "six" was heard as "three").
constexpr std::array<std::pair<const char*, const char*>, 1> kVariants = {{{"six(2)", "S IH K"}}};
constexpr const char* kPhonePrefix = "ph_";
constexpr const char* kAnswerSearch = "answer";
constexpr const char* kFreeSearch = "free";
constexpr const char* kSumsSearch = "sums";
// How far above its floor, and above full scale, the loudest of a recording must be for it to
// hold a sound: 12 dB, and 70 dB below full scale (a level of 10 in 32768).
constexpr double kRiseDb = 12;
constexpr double kQuietestDb = 20;
// The fewest frames (of 10 ms) a sum beside another lasts: a shorter one is the tail of the other
// or a click, no word said (measured: flite's "seven" heard as a 60 ms "eight" and "seven").
constexpr int kShortestSum = 10;

int sumOf(std::string word)
{
    word = word.substr(0, word.find('('));  // a second pronunciation, "eleven(2)" or "six(2)", is its word
    for (std::size_t i = 0; i < kSums.size(); ++i)
        if (word == kSums[i])
            return int(i) + 2;
    return 0;
}

// A grammar in the decoder's finite-state format: state 0 starts, state 1 ends.
class Grammar {
public:
    void add(int from, int to, double probability, const std::string& word = {})
    {
        m_text << "TRANSITION " << from << ' ' << to << ' ' << probability << (word.empty() ? "" : " ") << word << '\n';
        m_states = std::max({m_states, from + 1, to + 1});
    }
    std::string text(const char* name) const
    {
        std::ostringstream whole;
        whole << "FSG_BEGIN " << name << "\nNUM_STATES " << m_states << "\nSTART_STATE 0\nFINAL_STATE 1\n"
              << m_text.str() << "FSG_END\n";
        return whole.str();
    }

private:
    std::ostringstream m_text;
    int m_states = 2;
};

// One sum, or two with a pause between (state 2 after the first, 3 after the second).
void addSums(Grammar& grammar, double correctionWeight)
{
    for (const char* sum : kSums) {
        grammar.add(0, 2, 1, sum);
        grammar.add(4, 3, correctionWeight, sum);
    }
    grammar.add(2, 4, 1, "<sil>");
    grammar.add(4, 4, 1, "<sil>");
    grammar.add(2, 1, 1);
    grammar.add(3, 1, 1);
}

void addPhoneLoop(Grammar& grammar, int from, int loop, double phoneWeight, double entryWeight)
{
    for (const char* phone : kPhones)
        grammar.add(loop, loop + 1, phoneWeight, std::string(kPhonePrefix) + phone);
    grammar.add(from, loop, entryWeight);
    grammar.add(loop + 1, loop, 1);
    grammar.add(loop + 1, 1, 1);
}

// Whether anything rises out of the recording's own floor: a voice or a cough does, silence and
// steady noise do not (the decoder, given those, finds phones in them all the same). Levels of
// 20 ms frames; the floor is the quietest tenth of them, the answer leaves a little before itself.
bool soundRises(std::span<const std::int16_t> samples)
{
    constexpr std::size_t kFrame = AnswerRecogniser::kRate / 50;
    std::vector<double> levels;
    for (std::size_t start = 0; start + kFrame <= samples.size(); start += kFrame) {
        double power = 0;
        for (std::size_t i = start; i < start + kFrame; ++i)
            power += double(samples[i]) * samples[i];
        levels.push_back(10 * std::log10(power / kFrame + 1e-3));
    }
    if (levels.size() < 5)
        return false;
    std::sort(levels.begin(), levels.end());
    const double floor = levels[levels.size() / 10];
    const double loudest = levels[levels.size() - 2];  // not one click
    return loudest - floor >= kRiseDb && loudest >= kQuietestDb;
}

}  // namespace

std::string SphinxRecogniser::defaultModelFolder()
{
    return "/usr/share/pocketsphinx/model/en-us";
}

std::unique_ptr<SphinxRecogniser> SphinxRecogniser::make(const std::string& modelFolder, const Tuning& tuning)
{
    // The decoder ends the process on a model it cannot read, so the files are looked for first.
    const std::filesystem::path folder(modelFolder);
    const std::filesystem::path acoustic = folder / "en-us";
    const std::filesystem::path dictionary = folder / "cmudict-en-us.dict";
    std::error_code error;
    for (const char* part : {"mdef", "means", "variances", "transition_matrices", "sendump", "noisedict", "feat.params"})
        if (!std::filesystem::is_regular_file(acoustic / part, error))
            return nullptr;
    if (!std::filesystem::is_regular_file(dictionary, error))
        return nullptr;

    // Whole answers are decoded at once: the energy-based removal of silence and of steady noise,
    // meant for a live stream, cut into short words (measured, one espeak-ng voice: 9 sums of the
    // 17 heard with them, 16 without).
    cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", acoustic.c_str(), "-dict", dictionary.c_str(),
        "-logfn", "/dev/null", "-remove_noise", "no", "-remove_silence", "no", nullptr);
    if (!config)
        return nullptr;
    ps_decoder_t* decoder = ps_init(config);
    if (!decoder) {
        cmd_ln_free_r(config);
        return nullptr;
    }
    std::unique_ptr<SphinxRecogniser> recogniser(new SphinxRecogniser(config, decoder, tuning));
    return recogniser->addSearches() ? std::move(recogniser) : nullptr;
}

SphinxRecogniser::SphinxRecogniser(cmd_ln_s* config, ps_decoder_s* decoder, const Tuning& tuning)
    : m_config(config), m_decoder(decoder), m_tuning(tuning)
{
}

SphinxRecogniser::~SphinxRecogniser()
{
    ps_free(m_decoder);
    cmd_ln_free_r(m_config);
}

bool SphinxRecogniser::addSearches()
{
    for (std::size_t i = 0; i < kPhones.size(); ++i)
        if (ps_add_word(m_decoder, (std::string(kPhonePrefix) + kPhones[i]).c_str(), kPhones[i], FALSE) < 0)
            return false;
    for (const auto& [word, phones] : kVariants)
        if (ps_add_word(m_decoder, word, phones, TRUE) < 0)  // the last word added updates the search
            return false;

    Grammar sums;
    addSums(sums, m_tuning.correctionWeight);
    Grammar answer;
    addSums(answer, m_tuning.correctionWeight);
    if (m_tuning.rejects) {
        for (const char* other : kOthers) {
            answer.add(0, 5, m_tuning.otherWeight, other);
            answer.add(5, 5, m_tuning.otherWeight, other);
        }
        answer.add(5, 1, 1);
        addPhoneLoop(answer, 0, 6, m_tuning.phoneWeight, m_tuning.garbageWeight);
    }
    Grammar free;
    addPhoneLoop(free, 0, 2, 1, 1);
    return addGrammar(kAnswerSearch, answer.text(kAnswerSearch)) && addGrammar(kSumsSearch, sums.text(kSumsSearch))
        && addGrammar(kFreeSearch, free.text(kFreeSearch));
}

bool SphinxRecogniser::addGrammar(const char* name, const std::string& text)
{
    FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!stream)
        return false;
    fsg_model_t* grammar = fsg_model_read(stream, ps_get_logmath(m_decoder), cmd_ln_float32_r(m_config, "-lw"));
    std::fclose(stream);
    if (!grammar)
        return false;
    const bool set = ps_set_fsg(m_decoder, name, grammar) == 0;
    fsg_model_free(grammar);  // the search holds its own reference
    return set;
}

SphinxRecogniser::Decoded SphinxRecogniser::decode(const char* search, std::span<const std::int16_t> samples)
{
    Decoded decoded;
    if (ps_set_search(m_decoder, search) < 0 || ps_start_utt(m_decoder) < 0)
        return decoded;
    ps_process_raw(m_decoder, samples.data(), samples.size(), FALSE, TRUE);
    ps_end_utt(m_decoder);
    int score = 0;
    if (!ps_get_hyp(m_decoder, &score))
        return decoded;
    decoded.score = score;
    decoded.frames = ps_get_n_frames(m_decoder);
    for (ps_seg_t* segment = ps_seg_iter(m_decoder); segment; segment = ps_seg_next(segment)) {
        const std::string word = ps_seg_word(segment);
        if (!word.empty() && word.front() != '<' && word.front() != '[') {  // silence and the model's noises
            int start = 0, end = 0;
            ps_seg_frames(segment, &start, &end);
            decoded.words.push_back(word);
            decoded.lengths.push_back(end - start + 1);
        }
    }
    return decoded;
}

// How sure `decoded` is, from how far below free phones it fits the recording, per frame.
double SphinxRecogniser::confidenceOf(const Decoded& decoded, const Decoded& free) const
{
    const double margin = double(decoded.score - free.score) / std::max(decoded.frames, 1);
    return 1 / (1 + std::exp(-(margin - m_tuning.marginAtHalf) / m_tuning.marginScale));
}

AnswerRecogniser::Heard SphinxRecogniser::hear(std::span<const std::int16_t> samples)
{
    Heard heard;
    if (m_tuning.rejects && !soundRises(samples)) {
        heard.confidence = 1;
        return heard;
    }
    const Decoded answer = decode(kAnswerSearch, samples);
    if (answer.words.empty()) {  // silence, or a sound too short or too even for any word
        heard.confidence = 1;
        return heard;
    }
    std::vector<int> sums, shortSums;
    for (std::size_t i = 0; i < answer.words.size(); ++i)
        if (const int sum = sumOf(answer.words[i]))
            (answer.lengths[i] < kShortestSum ? shortSums : sums).push_back(sum);
    if (sums.empty())
        sums = shortSums;
    if (!m_tuning.rejects) {
        heard.sums = sums;
        heard.somethingSaid = sums.empty();
        heard.confidence = 1;
        return heard;
    }
    const Decoded free = decode(kFreeSearch, samples);
    if (!sums.empty()) {
        const double confidence = confidenceOf(answer, free);
        if (confidence >= 0.5) {
            heard.sums = sums;
            heard.confidence = confidence;
            return heard;
        }
        heard.somethingSaid = true;
        heard.confidence = 1 - confidence;
        return heard;
    }
    // No sum won: how sure that is, from how well the best sums would have fitted.
    heard.somethingSaid = true;
    const Decoded bestSums = decode(kSumsSearch, samples);
    heard.confidence = bestSums.words.empty() ? 1 : 1 - confidenceOf(bestSums, free);
    return heard;
}
