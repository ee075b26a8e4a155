#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace hiragana {

// The sound of a fixed set of short texts, kept ready to play. Safe to use from several threads.
class UtteranceCache {
public:
    using Samples = std::shared_ptr<const std::vector<std::int16_t>>;

    explicit UtteranceCache(const std::vector<std::u16string> &texts);

    // Null when the text is not kept, or not yet.
    Samples Find(std::u16string_view text) const;
    // Keeps the sound of one of the texts; any other text is not kept.
    void Store(std::u16string_view text, std::vector<std::int16_t> samples);
    // The texts whose sound is still missing, in the order given.
    std::vector<std::u16string> Missing() const;

    std::size_t Bytes() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::u16string> m_texts;
    std::map<std::u16string, Samples, std::less<>> m_sounds;
};

// Every text a key of the keyboard says alone: each hiragana (so also the kana the voicing marks
// make), the full-width digits, 、 。 and the ideographic space.
std::vector<std::u16string> SingleKeyTexts();

} // namespace hiragana
