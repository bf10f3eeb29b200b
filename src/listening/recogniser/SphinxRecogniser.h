#pragma once

#include "listening/AnswerRecogniser.h"

#include <memory>
#include <string>
#include <vector>

struct ps_decoder_s;
struct cmd_ln_s;

// Hears the sums with the pocketsphinx decoder and the US English model, against a grammar of
// the seventeen sum words, one or two in a row (the second after a pause: a self-correction).
// Beside the sums the grammar holds what else an examinee says: number words outside the
// range and hesitations, and a loop of any phones for the rest (a cough, "I don't know"),
// each phone of it penalised so that a sum said clearly is not taken for phones. A sum the
// grammar finds is kept only if it fits the recording nearly as well as free phones do (the
// margin per frame against a second search, the phone loop alone): a word of another kind
// squeezed into a sum fits badly. A recording in which nothing rises above its own floor
// (silence, steady noise) holds nothing. One decoder serves every call; one thread at a time.
class SphinxRecogniser final : public AnswerRecogniser {
public:
    // The choices measured on synthetic voices (bench/recogniser_accuracy).
    struct Tuning {
        bool rejects = true;          // false: the sums alone, no threshold nor test of level: what rejection is measured against
        double phoneWeight = 1e-2;    // the probability of each phone of the loop
        double garbageWeight = 1;     // of entering the loop at all (lower buys sums with rejections, one for one)
        double otherWeight = 0.3;     // of each word that is no sum
        double correctionWeight = 1;  // of a second sum after the first
        double marginAtHalf = -7;     // the margin per frame at which a sum is as likely right as not
        double marginScale = 2;       // how fast the confidence rises with the margin
    };

    // Nothing where the model is not in `modelFolder` (its acoustic model en-us/ and cmudict-en-us.dict).
    static std::unique_ptr<SphinxRecogniser> make(const std::string& modelFolder, const Tuning& tuning);
    static std::unique_ptr<SphinxRecogniser> make(const std::string& modelFolder) { return make(modelFolder, Tuning()); }
    static std::string defaultModelFolder();
    ~SphinxRecogniser() override;

    Heard hear(std::span<const std::int16_t> samples) override;

private:
    struct Decoded {
        std::vector<std::string> words;
        std::vector<int> lengths;  // of each word, in frames
        int score = 0;
        int frames = 0;
    };

    SphinxRecogniser(cmd_ln_s* config, ps_decoder_s* decoder, const Tuning& tuning);
    bool addSearches();
    bool addGrammar(const char* name, const std::string& text);
    Decoded decode(const char* search, std::span<const std::int16_t> samples);
    double confidenceOf(const Decoded& decoded, const Decoded& free) const;

    cmd_ln_s* m_config;
    ps_decoder_s* m_decoder;
    Tuning m_tuning;
};
