// How fast the conversation answers: short everyday lines (beside merely lower-casing them), one
// huge pasted line, and loading the twelve reply files when they are large.

#include "CaseFolding.h"
#include "Conversation.h"
#include "Cp1251.h"
#include "FakeClock.h"
#include "MemoryChatView.h"
#include "RandomGenerator.h"
#include "TemporaryDirectory.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace zumzik;

const char* const kFiles[] = {"all",  "art",   "drink", "item", "krut", "life",
                              "prob", "scien", "sex",   "work", "war",  "comp"};

// A conversation past its name turn, with every list holding a few entries.
struct Chat {
    MemoryChatView view;
    RandomGenerator random;
    test::FakeClock clock;
    Conversation conversation{view, random, clock};

    Chat() {
        for (auto& [name, list] : conversation.lists().files())
            list->loadFromBytes(std::string(name) + " one\r\n" + name + " two\r\n" + name +
                                " 3\r\n");
        say("Вася");
    }
    void say(const std::string& cp1251) {
        view.setInputText(cp1251);
        conversation.Edit1KeyPress('\r');
    }
};

// Lines of about 30 bytes such as people type, some matching rules and some not.
std::vector<std::string> corpus() {
    const char* lines[] = {
        "Привет, как у тебя дела сегодня?", "Я сегодня весь день на работе был",
        "А ты любишь ходить в театр, а?",   "Какое сегодня число, не подскажешь",
        "Ну и погода нынче, просто жуть",   "Слушай, давай поговорим о кино",
        "Мой комп опять завис, что делать", "Пойдём выпьем пива после работы",
        "Который час? Я опаздываю совсем",  "Не знаю, что тебе и сказать даже",
    };
    std::vector<std::string> out;
    for (const char* line : lines)
        out.push_back(Cp1251::fromUtf8(line));
    return out;
}

void RepliesToShortLines(benchmark::State& state) {
    Chat chat;
    const std::vector<std::string> lines = corpus();
    std::size_t i = 0, bytes = 0;
    for (auto _ : state) {
        const std::string& line = lines[i++ % lines.size()];
        bytes += line.size();
        chat.say(line);
        benchmark::DoNotOptimize(chat.view.replyLine().data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(RepliesToShortLines);

// The least that any reply costs: lower-casing the line, the first step of every turn.
void LowerCasesShortLines(benchmark::State& state) {
    const std::vector<std::string> lines = corpus();
    std::size_t i = 0;
    for (auto _ : state) {
        std::string lower = CaseFolding::toLower(lines[i++ % lines.size()]);
        benchmark::DoNotOptimize(lower.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(LowerCasesShortLines);

void ReplyToOneMebibyteLine(benchmark::State& state) {
    Chat chat;
    std::string line;
    const std::vector<std::string> lines = corpus();
    while (line.size() < (1u << 20))
        line += lines[line.size() % lines.size()] + " ";
    line.resize(1u << 20);
    for (auto _ : state) {
        chat.say(line);
        benchmark::DoNotOptimize(chat.view.replyLine().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
    state.SetLabel("1 MiB pasted line");
}
BENCHMARK(ReplyToOneMebibyteLine)->Unit(benchmark::kMillisecond);

// The argument 1 has the files saved as UTF-8, which is converted as it is loaded.
void LoadTwelveLargeReplyFiles(benchmark::State& state) {
    const bool utf8 = state.range(0) != 0;
    test::TemporaryDirectory dir;
    std::string bytes;
    const std::vector<std::string> lines = corpus();
    for (int i = 0; i < 10000; ++i)
        bytes += lines[i % lines.size()] + std::to_string(i) + "\r\n";
    if (utf8)
        bytes = Cp1251::toUtf8(bytes);
    for (const char* name : kFiles)
        dir.write(std::string(name) + ".zmz", bytes);
    for (auto _ : state) {
        MemoryChatView view;
        RandomGenerator random;
        test::FakeClock clock;
        Conversation conversation(view, random, clock);
        conversation.FormCreate();
        benchmark::DoNotOptimize(conversation.lists().CompBox.count());
    }
    state.SetLabel(utf8 ? "12 UTF-8 files x 10,000 lines" : "12 files x 10,000 lines");
}
BENCHMARK(LoadTwelveLargeReplyFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
