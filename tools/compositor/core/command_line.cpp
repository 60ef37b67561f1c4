#include "command_line.h"

namespace compositor {

namespace {

// The line's text when the compression dialog was cancelled.
const wchar_t kCancelledText[] = L"キャンセルされました。";
const wchar_t kNoOperation[] =
    L"操作のスイッチ (/add、/replace、/keep、/delete) が指定されていません。";
const wchar_t kNoOutput[] = L"/out: 保存ファイル名が指定されていません。";
const wchar_t kNoVideo[] = L"ビデオAVIファイルが指定されていません。";
const wchar_t kNoAudio[] = L"オーディオAVIファイルが指定されていません。";
const wchar_t kAudioRefused[] = L"この操作ではオーディオAVIファイルを指定できません。";
const wchar_t kExtra[] = L"余分な引数です。";

const struct {
    const wchar_t* name;
    AudioOperation operation;
} kOperations[] = {{L"add", AudioOperation::kAdd},
                   {L"replace", AudioOperation::kReplace},
                   {L"keep", AudioOperation::kNoOperation},
                   {L"delete", AudioOperation::kDelete}};

std::vector<shell::SwitchRule> switchRules() {
    std::vector<shell::SwitchRule> rules = {{L"out", shell::SwitchText::kNotEmpty}, {L"options"}};
    for (const auto& op : kOperations)
        rules.push_back({op.name, shell::SwitchText::kNone, true});
    return rules;
}

} // namespace

const std::vector<std::wstring> kUsage = {
    L"使い方: TAMSEL.EXE /add|/replace|/keep|/delete ビデオAVIファイル [オーディオAVIファイル] "
    L"/out 保存ファイル名 [/options]",
    L"  ビデオAVIファイルのビデオ ストリームに音声を組み合わせて、新しいAVIファイルに保存します。",
    L"  /add       ビデオAVIファイルの音声のあとに、オーディオAVIファイルの音声を加えます。",
    L"  /replace   音声をオーディオAVIファイルの音声に置き換えます。",
    L"  /keep      ビデオAVIファイルの音声をそのまま使います。",
    L"  /delete    音声を削除し、ビデオだけを保存します。",
    L"  /out 名前  保存ファイル名。「.avi」がなければ付け、「\\」がなければビデオAVIファイルの"
    L"フォルダーに保存します。",
    L"  /options   圧縮の設定ダイアログを表示します。ないときはすべてのストリームをそのまま"
    L"コピーします。",
    L"  /?         この説明を表示します。",
    L"終了コード: 0 保存した、1 保存しなかった (キャンセルを含む)、2 指定の誤り。",
};

CommandRequest readCommandLine(const std::vector<std::wstring>& args) {
    CommandRequest request;
    shell::CommandLine& line = request.line;
    line = shell::parseCommandLine(args, switchRules());
    const shell::GivenSwitch* operation = line.operation();
    if (!operation) line.fail(kNoOperation);
    for (const auto& op : kOperations)
        if (operation && operation->name == op.name) request.operation = op.operation;
    if (const std::wstring* name = line.text(L"out")) request.outputName = *name;
    request.options = line.has(L"options");
    if (request.outputName.empty()) line.fail(kNoOutput);
    // The files after the switches: VIDEO, then AUDIO where the operation needs one.
    const std::vector<std::wstring>& files = line.operands;
    const size_t wanted = needsAudioFile(request.operation) ? 2 : 1;
    if (files.empty()) {
        line.fail(kNoVideo);
    } else if (files.size() < wanted) {
        line.fail(shell::resultLine(operation ? operation->typed : L"", kNoAudio));
    } else if (files.size() > wanted) {
        line.fail(shell::resultLine(files[wanted], wanted == 1 ? kAudioRefused : kExtra));
    }
    if (!files.empty()) request.video = files[0];
    if (files.size() > 1 && wanted == 2) request.audio = files[1];
    return request;
}

int runCommandLine(const std::vector<std::wstring>& args, const CommandLineServices& platform) {
    const CommandRequest request = readCommandLine(args);
    if (request.line.stopsAtUsage()) return shell::writeUsage(request.line, kUsage, platform.write);
    auto say = [&](const std::wstring& text) {
        platform.write(shell::resultLine(request.video, text));
    };
    const shell::Outcome outcome = platform.run(request, say);
    switch (outcome.result) {
    case shell::Result::kDone:
        say(shownOutput(request));
        break;
    case shell::Result::kCancelled:
        say(kCancelledText);
        break;
    case shell::Result::kFailed:
        say(outcome.text);
        break;
    }
    return outcome.exitStatus();
}

std::wstring shownOutput(const CommandRequest& request) {
    const std::wstring name = completeOutputName(request.outputName);
    if (name.find(L'\\') != std::wstring::npos) return name;
    // The folder part: up to the last separator, or a drive's "C:".
    return request.video.substr(0, request.video.find_last_of(L"\\/:") + 1) + name;
}

} // namespace compositor
