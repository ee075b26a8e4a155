#include "utterancecache.h"

#include <algorithm>

namespace hiragana {

UtteranceCache::UtteranceCache(const std::vector<std::u16string> &texts)
    : m_texts(texts)
{
}

UtteranceCache::Samples UtteranceCache::Find(std::u16string_view text) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_sounds.find(text);
    return it == m_sounds.end() ? nullptr : it->second;
}

void UtteranceCache::Store(std::u16string_view text, std::vector<std::int16_t> samples)
{
    std::lock_guard lock(m_mutex);
    if (std::find(m_texts.begin(), m_texts.end(), text) != m_texts.end())
        m_sounds.insert_or_assign(std::u16string(text), std::make_shared<const std::vector<std::int16_t>>(std::move(samples)));
}

std::vector<std::u16string> UtteranceCache::Missing() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::u16string> missing;
    std::copy_if(m_texts.begin(), m_texts.end(), std::back_inserter(missing),
                 [this](const std::u16string &text) { return !m_sounds.contains(text); });
    return missing;
}

std::size_t UtteranceCache::Bytes() const
{
    std::lock_guard lock(m_mutex);
    std::size_t bytes = 0;
    for (const auto &[text, samples] : m_sounds)
        bytes += samples->size() * sizeof(std::int16_t);
    return bytes;
}

std::vector<std::u16string> SingleKeyTexts()
{
    std::vector<std::u16string> texts;
    for (char16_t kana = u'ぁ'; kana <= u'ゖ'; ++kana)
        texts.emplace_back(1, kana);
    for (char16_t digit = u'０'; digit <= u'９'; ++digit)
        texts.emplace_back(1, digit);
    for (const char16_t mark : {u'、', u'。', u'\u3000'})
        texts.emplace_back(1, mark);
    return texts;
}

} // namespace hiragana
