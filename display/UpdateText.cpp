#include "display/UpdateText.h"

#include <algorithm>
#include <cstdio>

namespace tallymark::display {

namespace {

std::string Format(const char* format, auto... values)
{
    char text[128];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string GreetingHex()
{
    std::vector<std::uint8_t> greeting(Greeting.begin(), Greeting.end());
    return HexBytes(greeting);
}

} // namespace

std::string MinuteText(MinuteOfDay minute)
{
    return Format("%02d:%02d", minute / 60, minute % 60);
}

std::string UpdateLine(const DisplayRecord& record)
{
    const auto update = DecodeUpdate(record);
    if (!update)
        return "update undecodable hex=" + HexBytes(WholeUpdate(record));
    std::string line = "update time=" + ClockText(update->clock);
    line += " count=" + (update->dayCount ? std::to_string(*update->dayCount) : std::string("keep"));
    line += update->countUp ? " direction=up" : " direction=down";
    line += Format(" brightness=%d code=%d", BrightnessSetting(update->brightnessCode), update->brightnessCode);
    line += update->workTimeOn ? " work=on" : " work=off";
    line += " start=" + MinuteText(update->workStart) + " end=" + MinuteText(update->workEnd);
    line += " hex=" + HexBytes(WholeUpdate(record));
    return line;
}

std::string RejectedLine(const RejectedRun& run)
{
    return Format("rejected reason=%s length=%zu hex=", RejectReasonName(run.reason).data(), run.bytes.size())
         + HexBytes(run.bytes);
}

std::vector<ByteMeaning> DescribeUpdate(const DisplayRecord& record)
{
    std::vector<ByteMeaning> rows;
    rows.push_back({GreetingHex(), "greeting \"Hello\""});
    const auto hex = [&](std::size_t index) { return HexBytes(std::span(record).subspan(index, 1)); };
    const auto update = DecodeUpdate(record);
    if (!update) {
        for (std::size_t i = 0; i < record.size(); ++i)
            rows.push_back({hex(i), i == 0 ? "no record a panel sends" : ""});
        return rows;
    }
    rows.push_back({hex(0), Format("clock second %02d (BCD)", update->clock.second)});
    rows.push_back({hex(1), Format("clock minute %02d (BCD)", update->clock.minute)});
    rows.push_back({hex(2), Format("clock hour %02d (BCD)", update->clock.hour)});
    if (update->dayCount) {
        rows.push_back({hex(3), Format("day count high byte: count %u", unsigned{*update->dayCount})});
        rows.push_back({hex(4), "day count low byte"});
    } else {
        rows.push_back({hex(3), "marker: keep the day count"});
        rows.push_back({hex(4), "day count low byte (not used)"});
    }
    rows.push_back({hex(5), Format("brightness code %d: brightness %d of 8", update->brightnessCode,
                                   BrightnessSetting(update->brightnessCode))});
    rows.push_back(
        {hex(6), Format("working time %s, start hour %d", update->workTimeOn ? "on" : "off", update->workStart / 60)});
    rows.push_back(
        {hex(7), Format("start minute %d: start %s", update->workStart % 60, MinuteText(update->workStart).c_str())});
    rows.push_back({hex(8), Format("counting %s, end hour %d", update->countUp ? "up" : "down", update->workEnd / 60)});
    rows.push_back(
        {hex(9), Format("end minute %d: end %s", update->workEnd % 60, MinuteText(update->workEnd).c_str())});
    return rows;
}

} // namespace tallymark::display
