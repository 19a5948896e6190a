#include "ExitProtest.h"

#include "MessageBoxes.h"
#include "RandomGenerator.h"
#include "SoundPlayer.h"

#include <array>

namespace zumzik {

ExitProtest::ExitProtest(RandomGenerator& random, SoundPlayer& sound, MessageBoxes& boxes)
    : m_random(random), m_sound(sound), m_boxes(boxes) {}

QString ExitProtest::plea(int index) {
    static const std::array<const char*, kPleaCount> pleas = {
        "Ты что это делаешь? А? Стой! Подожди! А-а-а-а!!!",
        "Эй! Зачем это? Подожди! Давай поговорим! Стой-й-й!",
        "Стоп! Ты не сделаешь этого! Нет! Только не это!",
        "Что? Не делай этого! Давай договоримся! Ты же умный человек! А-а-а-а!!!",
        "Нет! Не убивай меня! Мы ещё не всё обсудили! No-o-o!!!",
        "Я ещё вернусь! Ха-ха-ха!!!",
        "Стой! Стой! Убийца!!! Проклятье! Я хочу говорить!!!",
        "Опачки! Опулечки!! Опушечки!!! Не надо!!!!",
    };
    return QString::fromUtf8(pleas.at(static_cast<std::size_t>(index)));
}

void ExitProtest::run() {
    const auto index = static_cast<int>(m_random.randomBelow(kPleaCount));
    m_sound.play(QStringLiteral("ohoh.wav"));
    m_boxes.showProtest(plea(index));
}

} // namespace zumzik
