#include "command_line.h"

#include "conversion.h"

#include <set>

namespace wavconv {

const std::vector<std::wstring> kUsage = {
    L"使い方: PURNIX.EXE [/name ストリーム名] WAVEファイル...",
    L"  WAVEファイルを、音声ストリームを1本持つAVIファイルに変換します。",
    L"  WAVEファイル  変換するファイル。* と ? を使えます (例: *.wav)。",
    L"  /name 名前    すべてのファイルのストリーム名。ないときはファイル名の最初の「.」より前。",
    L"  /?            この説明を表示します。",
    L"終了コード: 0 すべて変換した、1 変換できないファイルがあった、2 指定の誤り。",
};

namespace {

const wchar_t kNoMatch[] = L"該当するファイルが見つかりません。";
const wchar_t kMadeEarlier[] =
    L"同じ名前のAVIファイルをこの実行で先に作成したため、変換しませんでした。";
const wchar_t kNoFile[] = L"変換するファイルが指定されていません。";

// One FILE of the call after expansion: a file to convert, or a pattern without a match or
// whose folder could not be searched.
struct Input {
    std::wstring shown; // as the line names it: the argument, or its folder + a found name
    shell::FileArgument parts;
    std::wstring refusal; // why nothing is converted for it; empty for a file
};

std::vector<Input> expandAll(const std::vector<std::wstring>& operands,
                             const CommandLineServices& platform) {
    std::vector<Input> inputs;
    for (const std::wstring& arg : operands) {
        shell::FileArgument parts = shell::splitFileArgument(arg);
        if (!shell::hasWildcard(parts.name)) {
            inputs.push_back({arg, parts, {}});
            continue;
        }
        std::wstring failure;
        std::vector<std::wstring> names = platform.expand(arg, failure);
        if (!failure.empty() || names.empty())
            inputs.push_back({arg, parts, failure.empty() ? kNoMatch : failure});
        else
            for (const std::wstring& name : names)
                inputs.push_back({parts.folder + name, {parts.folder, name}, {}});
    }
    return inputs;
}

} // namespace

int runCommandLine(const std::vector<std::wstring>& args, const CommandLineServices& platform) {
    shell::CommandLine line = shell::parseCommandLine(args, {{L"name", shell::SwitchText::kAny}});
    if (line.operands.empty()) line.fail(kNoFile);
    if (line.stopsAtUsage()) return shell::writeUsage(line, kUsage, platform.write);

    const std::wstring* streamName = line.text(L"name");
    std::set<shell::FileKey> created;
    bool failed = false;
    for (const Input& in : expandAll(line.operands, platform)) {
        if (!in.refusal.empty()) {
            platform.write(shell::resultLine(in.shown, in.refusal));
            failed = true;
            continue;
        }
        // The output of the window's rule, in the WAV file's folder as the argument names it.
        const std::wstring avi = in.parts.folder + outputFileName(in.parts.name);
        shell::FileKey key;
        if (platform.identify(avi, key) && created.count(key)) {
            platform.write(shell::resultLine(in.shown, kMadeEarlier));
            failed = true;
            continue;
        }
        const shell::Outcome outcome = platform.run(
            in.shown, avi, streamName ? *streamName : streamNameFromFile(in.parts.name));
        if (outcome.result != shell::Result::kDone) {
            platform.write(shell::resultLine(in.shown, outcome.text));
            failed = true;
            continue;
        }
        platform.write(shell::resultLine(in.shown, avi));
        if (platform.identify(avi, key)) created.insert(key);
    }
    return failed ? shell::kExitFailed : shell::kExitDone;
}

} // namespace wavconv
