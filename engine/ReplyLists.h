#pragma once

#include "ReplyList.h"

#include <array>
#include <utility>

namespace zumzik {

// The fourteen reply lists of the main window: twelve filled from the reply files, two built in.
struct ReplyLists {
    ReplyLists();

    ReplyList AllBox;
    ReplyList ArtBox;
    ReplyList DrinkBox;
    ReplyList ItemBox;
    ReplyList KrutBox;
    ReplyList LifeBox;
    ReplyList ProbBox;
    ReplyList ScienBox;
    ReplyList SexBox;
    ReplyList WorkBox;
    ReplyList WarBox;
    ReplyList CompBox;
    ReplyList YesBox;
    ReplyList NoBox;

    // The file-backed lists with their reply files, in the order in which they are loaded.
    std::array<std::pair<const char*, ReplyList*>, 12> files();
};

} // namespace zumzik
