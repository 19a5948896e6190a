#include "ReplyLists.h"

#include "Cp1251.h"

namespace zumzik {

ReplyLists::ReplyLists()
    : YesBox{Cp1251::fromUtf8("Так прямо таки и да?"),
             Cp1251::fromUtf8("Нельзя быть столь категоричным, братан!"),
             Cp1251::fromUtf8("Да???"),
             Cp1251::fromUtf8("Ну да!"),
             Cp1251::fromUtf8("Ты согласен?"),
             Cp1251::fromUtf8("Я рад, что ты меня поддерживаешь!")},
      NoBox{Cp1251::fromUtf8("Нет, так нет!!!"),
            Cp1251::fromUtf8("Нельзя быть столь категоричным, братан!"),
            Cp1251::fromUtf8("Что значит нет?!?"),
            Cp1251::fromUtf8("Мне не говорят нет! ТЫ ПОНЯЛ!!!"),
            Cp1251::fromUtf8("Нет??? Не понял!!!"),
            Cp1251::fromUtf8("Нет! Нет! Нет! Нет! Мы хотим сегодня...")} {}

std::array<std::pair<const char*, ReplyList*>, 12> ReplyLists::files() {
    return {{{"all.zmz", &AllBox},
             {"art.zmz", &ArtBox},
             {"drink.zmz", &DrinkBox},
             {"item.zmz", &ItemBox},
             {"krut.zmz", &KrutBox},
             {"life.zmz", &LifeBox},
             {"prob.zmz", &ProbBox},
             {"scien.zmz", &ScienBox},
             {"sex.zmz", &SexBox},
             {"work.zmz", &WorkBox},
             {"war.zmz", &WarBox},
             {"comp.zmz", &CompBox}}};
}

} // namespace zumzik
