#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Translate.h"

namespace {
// A program folder with a few language files that translate every text, made once for the whole run.
class LanguageFolder
{
public:
    LanguageFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lockmere-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
        for (const char* name : {"Alpha", "Beta", "Gamma"}) {
            std::ofstream file(path / (std::string(name) + ".lng"));
            file << "[Language]\nlang_en=" << name << "\nlang_native=" << name << "\n[Text]\n";
            for (int id = 0; id < BuiltinTextCount; ++id) {
                file << id << "=Translated text number " << id << " with a line\\nbreak\n";
            }
        }
    }
    ~LanguageFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }

    std::filesystem::path path;
};

const LanguageFolder folder;

// Baseline: the built-in texts only, which still walks the folder once.
void LoadBuiltinTexts(benchmark::State& state)
{
    CTranslate translate(folder.path);
    for (auto _ : state) {
        translate.Load(u"");
        benchmark::DoNotOptimize(translate.Text(0));
    }
}
BENCHMARK(LoadBuiltinTexts);

// The last of three files: three files read, 261 look-ups. Compare with the baseline above.
void LoadTranslatedTexts(benchmark::State& state)
{
    CTranslate translate(folder.path);
    for (auto _ : state) {
        translate.Load(u"Gamma");
        benchmark::DoNotOptimize(translate.Text(0));
    }
}
BENCHMARK(LoadTranslatedTexts);
} // namespace
