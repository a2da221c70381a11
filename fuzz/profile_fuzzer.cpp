// Feeds arbitrary bytes to the settings-file parser, then reads, writes and removes keys and checks that a written
// value reads back and that the text survives being written out and parsed again.
#include "codec/ProfileFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    parlino::ProfileFile file(input);

    // Names taken from the input itself, so that the fuzzer steers into existing sections and keys.
    const std::size_t cut = input.size() / 3;
    const std::string_view section = input.substr(0, std::min<std::size_t>(cut, 16));
    const std::string_view key = input.substr(cut, std::min<std::size_t>(cut, 16));
    for (const std::string& name : file.Sections()) {
        for (const std::string& known : file.Keys(name)) {
            if (file.Value(name, known)->size() > 4 * parlino::ProfileFile::MaxValueLength)
                std::abort();
        }
    }
    (void)file.Value(section, key);

    const std::string value = "v" + std::string(input.substr(0, std::min<std::size_t>(size, 8))) + "v";
    if (file.SetValue(section, key, value) && file.Value(section, key) != value)
        std::abort();
    if (file.SetValue("Optiuni", "EditWav_Text", "") && file.Value("optiuni", "editwav_text") != "")
        std::abort();

    const std::string text = file.Text();
    const parlino::ProfileFile again(text);
    if (again.Text() != text)
        std::abort();

    file.DeleteKey(section, key);
    file.EraseSection(section);
    (void)file.Text();
    return 0;
}
