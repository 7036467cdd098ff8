#include "UpdateSettings.h"

#include "LocalTime.h"
#include "Text.h"
#include "mRegistry.h"

namespace ombrix::update {

namespace {

using mRegistry::HKEY_CURRENT_USER;

std::string read(const std::string& name)
{
    return mRegistry::ReadRegString(HKEY_CURRENT_USER, "", name, "");
}

void write(const std::string& name, const std::string& text)
{
    mRegistry::WriteRegString(HKEY_CURRENT_USER, "", name, text);
}

}  // namespace

std::string StoredUpdateUrl()
{
    return read("Update URL");
}

void RecordCheck(const Outcome& outcome)
{
    const std::tm local = localNow();
    write("Update Last Check", dateText(local) + ' ' + timeText(local));
    write("Update Status", std::to_string(outcome.status));
    write("Update Message", outcome.message);
}

}  // namespace ombrix::update
