#include "link/OpenFailure.h"

namespace tallymark {

namespace {

// "/dev/ttyS0、/dev/ttyUSB0"; the port itself where no device is named.
std::string Devices(std::span<const OpenFailure> failures)
{
    std::string devices;
    for (const OpenFailure& failure : failures)
        if (!failure.device.empty())
            devices += (devices.empty() ? "" : "、") + failure.device;
    return devices.empty() ? "接続端子" : devices;
}

std::string Holder(const OpenFailure& failure)
{
    if (failure.processId > 0) {
        const std::string process = "プロセス " + std::to_string(failure.processId);
        return " (" + (failure.program.empty() ? process : failure.program + "、" + process) + ") ";
    }
    return failure.lock.empty() ? "" : " (" + failure.lock + ") ";
}

} // namespace

std::string JoinGroupCommand(std::string_view user, std::string_view group)
{
    // Without a name of its own the user is the shell's.
    return "sudo adduser " + std::string(user.empty() ? "$USER" : user) + " " + std::string(group);
}

std::string OpenFailureParagraph(std::span<const OpenFailure> failures, std::string_view user)
{
    if (failures.empty())
        return {};
    const OpenFailure& first = failures.front();
    const std::string devices = Devices(failures);
    switch (first.reason) {
    case OpenRefusal::NoPermission:
        return devices + " を開く権限がありません。グループ " + first.group + " に参加するには "
             + JoinGroupCommand(user, first.group) + " を実行し、ログインし直してください。";
    case OpenRefusal::NoDevice:
        return first.device.empty() ? std::string("この接続端子には装置がありません。") : devices + " が存在しません。";
    case OpenRefusal::HeldByProgram: return devices + " は他のプログラム" + Holder(first) + "が使用中です。";
    case OpenRefusal::Other: break;
    }
    return devices + " を開けません (" + first.systemText + ")。";
}

} // namespace tallymark
