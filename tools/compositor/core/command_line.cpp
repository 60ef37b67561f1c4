#include "command_line.h"

#include "letter_case.h"

namespace compositor {

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

const wchar_t kCancelledText[] = L"キャンセルされました。";

namespace {

const wchar_t kUnknownSwitch[] = L"不明なスイッチです。";
const wchar_t kMissingName[] = L"名前が指定されていません。";
const wchar_t kNoOperation[] =
    L"操作のスイッチ (/add、/replace、/keep、/delete) が指定されていません。";
const wchar_t kTwoOperations[] = L"操作のスイッチは1つだけ指定してください。";
const wchar_t kNoOutput[] = L"/out: 保存ファイル名が指定されていません。";
const wchar_t kNoVideo[] = L"ビデオAVIファイルが指定されていません。";
const wchar_t kNoAudio[] = L"オーディオAVIファイルが指定されていません。";
const wchar_t kAudioRefused[] = L"この操作ではオーディオAVIファイルを指定できません。";
const wchar_t kExtra[] = L"余分な引数です。";

struct OperationSwitch {
    const wchar_t* name; // upper case
    AudioOperation operation;
};
const OperationSwitch kOperations[] = {{L"/ADD", AudioOperation::kAdd},
                                       {L"/REPLACE", AudioOperation::kReplace},
                                       {L"/KEEP", AudioOperation::kNoOperation},
                                       {L"/DELETE", AudioOperation::kDelete}};

} // namespace

CommandRequest readCommandLine(const std::vector<std::wstring>& args) {
    CommandRequest request;
    std::wstring firstError, operationSwitch;
    int operations = 0;
    std::vector<std::wstring> files;
    auto fail = [&firstError](const std::wstring& line) {
        if (firstError.empty()) firstError = line;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg.empty() || arg[0] != L'/') {
            files.push_back(arg);
            continue;
        }
        const std::wstring name = shell::upperAscii(arg);
        if (name == L"/?") {
            request.help = true;
        } else if (name == L"/OUT") {
            // The next argument is the name, whatever it looks like.
            request.outputName = i + 1 < args.size() ? args[++i] : L"";
            if (request.outputName.empty()) fail(arg + L": " + kMissingName);
        } else if (name == L"/OPTIONS") {
            request.options = true;
        } else {
            bool known = false;
            for (const OperationSwitch& op : kOperations)
                if (name == op.name) {
                    known = true;
                    if (++operations == 2) fail(kTwoOperations);
                    request.operation = op.operation;
                    operationSwitch = arg;
                }
            if (!known) fail(arg + L": " + kUnknownSwitch);
        }
    }
    if (operations == 0) fail(kNoOperation);
    if (request.outputName.empty()) fail(kNoOutput);
    const size_t wanted = needsAudioFile(request.operation) ? 2 : 1;
    if (files.empty()) {
        fail(kNoVideo);
    } else if (files.size() < wanted) {
        fail(operationSwitch + L": " + kNoAudio);
    } else if (files.size() > wanted) {
        fail(files[wanted] + L": " + (wanted == 1 ? kAudioRefused : kExtra));
    }
    if (!files.empty()) request.video = files[0];
    if (files.size() > 1 && wanted == 2) request.audio = files[1];
    request.usageError = firstError;
    return request;
}

std::wstring shownOutput(const CommandRequest& request) {
    const std::wstring name = completeOutputName(request.outputName);
    if (name.find(L'\\') != std::wstring::npos) return name;
    // The folder part: up to the last separator, or a drive's "C:".
    return request.video.substr(0, request.video.find_last_of(L"\\/:") + 1) + name;
}

} // namespace compositor
