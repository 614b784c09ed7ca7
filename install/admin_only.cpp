#include "install/admin_only.h"

#include <aclapi.h>
#include <sddl.h>

#include <iterator>

#include "system/com_owners.h"

namespace {

// Rights that let a holder put other programs or files in place: write or
// append (add a file or folder), delete it or any child, change the DACL or
// the owner, and the generic forms an entry may carry. Attributes and
// extended attributes change no program and are left out.
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE |
                                      WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
static_assert(kChangeRights == 0x500D0046);

// Administrators, SYSTEM and TrustedInstaller: no unelevated user.
constexpr const wchar_t* kSystemSids[] = {
    L"S-1-5-32-544", L"S-1-5-18", L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"};

bool IsOneOf(PSID sid, const wchar_t* const* sids, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        UniqueLocal<void> known;
        if (ConvertStringSidToSidW(sids[i], reinterpret_cast<PSID*>(known.Receive())) &&
            EqualSid(sid, known.Get()))
            return true;
    }
    return false;
}

bool IsSystemSid(PSID sid) { return sid && IsOneOf(sid, kSystemSids, std::size(kSystemSids)); }

// Besides those: OWNER RIGHTS stands for the owner (already one of them),
// and CREATOR OWNER for whoever makes a child, which only they may.
bool MayHoldChangeRights(PSID sid)
{
    static constexpr const wchar_t* kOwnerStandIns[] = {L"S-1-3-4", L"S-1-3-0"};
    return IsSystemSid(sid) || IsOneOf(sid, kOwnerStandIns, std::size(kOwnerStandIns));
}

// Whether an entry of the DACL lets somebody else change the object, or
// (an inherited entry) the product's files and folders made in it.
bool GrantsChangeToOthers(const ACE_HEADER* header)
{
    switch (header->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
        // Same layout up to the SID; a condition only narrows an entry.
        auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
        if (!(ace->Mask & kChangeRights))
            return false;
        PSID sid = const_cast<DWORD*>(&ace->SidStart);
        return !IsValidSid(sid) || !MayHoldChangeRights(sid);
    }
    case ACCESS_ALLOWED_COMPOUND_ACE_TYPE:
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        // Not made for files: whoever it names, a change right counts.
        return (reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->Mask & kChangeRights) != 0;
    default:
        return false;  // denials, audits and labels grant nothing
    }
}

}  // namespace

bool IsOwnedBySystem(PSECURITY_DESCRIPTOR descriptor)
{
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    return descriptor && GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) && IsSystemSid(owner);
}

bool OnlyAdministratorsMayChange(PSECURITY_DESCRIPTOR descriptor)
{
    if (!IsOwnedBySystem(descriptor))
        return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl)
        return false;  // no DACL: everybody may do everything
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace) || GrantsChangeToOthers(static_cast<const ACE_HEADER*>(ace)))
            return false;
    }
    return true;
}

bool OnlyAdministratorsMayChangeFile(HANDLE handle)
{
    UniqueLocal<void> descriptor;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                        &owner, nullptr, &dacl, nullptr, descriptor.Receive()) != ERROR_SUCCESS)
        return false;
    return OnlyAdministratorsMayChange(descriptor.Get());
}
