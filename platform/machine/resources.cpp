#include "platform/machine/resources.h"

#include "platform/machine/kernel_code_page.h"
#include "platform/machine/machine.h"
#include "platform/machine/resources_embedded.h"
#include "platform/machine/resources_script.h"
#include "platform/machine/resources_store.h"

#include <deque>
#include <fstream>
#include <iterator>
#include <set>

namespace {

constexpr uint16_t TypeBitmap = 2;
constexpr uint16_t TypeDialog = 5;
constexpr uint16_t TypeGroupIcon = 14;
constexpr const char* ProgramScriptName = "rembrix.rc";

// A deque keeps every record at its address, which is its HRSRC.
std::deque<ResourceRecord> Records;
std::set<std::string> HiddenNames; // folded
bool Loaded = false;

const EmbeddedResourceFile* EmbeddedFile(const std::string& name) {
    for (std::size_t index = 0; index < EmbeddedResourceFileCount; ++index) {
        if (name == EmbeddedResourceFiles[index].Name) {
            return &EmbeddedResourceFiles[index];
        }
    }
    return nullptr;
}

// The bytes of a file that a script names: an embedded file of that name,
// else (for test scripts) a host file; false when neither exists.
bool ReadNamedFile(const std::string& fileName, bool hostFilesAllowed,
                   std::vector<uint8_t>& bytes) {
    // The resource step records a file in a subfolder with forward slashes.
    std::string embeddedName = fileName;
    for (char& c : embeddedName) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (const EmbeddedResourceFile* file = EmbeddedFile(embeddedName); file != nullptr) {
        bytes.assign(file->Data, file->Data + file->Size);
        return true;
    }
    if (!hostFilesAllowed) {
        return false;
    }
    std::ifstream stream(fileName, std::ios::binary);
    if (!stream) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    return true;
}

uint16_t TypeOf(ScriptResource::Kind kind) {
    switch (kind) {
    case ScriptResource::Kind::Dialog:
        return TypeDialog;
    case ScriptResource::Kind::Bitmap:
        return TypeBitmap;
    case ScriptResource::Kind::Icon:
        return TypeGroupIcon;
    case ScriptResource::Kind::Data:
        return ResourceTypeData;
    }
    return ResourceTypeData;
}

ResourceRecord* FindRecord(const std::string& name, uint16_t type) {
    for (ResourceRecord& record : Records) {
        if (record.Type == type && EqualIgnoringAnsiCase(record.Name, name)) {
            return &record;
        }
    }
    return nullptr;
}

void AddScript(const std::string& text, const std::string& scriptName, bool hostFilesAllowed) {
    for (const ScriptResource& resource : ParseResourceScript(text, scriptName)) {
        ResourceRecord record;
        record.Name = resource.Name;
        record.Type = TypeOf(resource.ResourceKind);
        if (resource.ResourceKind == ScriptResource::Kind::Dialog) {
            record.Dialog = resource.Dialog;
            record.ResourceBytes = DialogTemplateBytes(resource.Dialog, resource.Extended);
        } else {
            std::vector<uint8_t> bytes;
            if (!ReadNamedFile(resource.FileName, hostFilesAllowed, bytes)) {
                continue; // a file missing at build time: no such resource
            }
            // Windows keeps a bitmap resource without the 14-byte file header.
            const bool hasFileHeader = bytes.size() >= 14 && bytes[0] == 'B' && bytes[1] == 'M';
            if (record.Type == TypeBitmap && hasFileHeader) {
                record.ResourceBytes.assign(bytes.begin() + 14, bytes.end());
            } else {
                record.ResourceBytes = bytes;
            }
            record.FileBytes = std::move(bytes);
        }
        if (ResourceRecord* existing = FindRecord(record.Name, record.Type); existing != nullptr) {
            *existing = std::move(record);
        } else {
            Records.push_back(std::move(record));
        }
    }
}

void EnsureLoaded() {
    EnsureMachineStarted();
    if (Loaded) {
        return;
    }
    Loaded = true;
    const EmbeddedResourceFile* script = EmbeddedFile(ProgramScriptName);
    if (script != nullptr) {
        AddScript(std::string(reinterpret_cast<const char*>(script->Data), script->Size),
                  ProgramScriptName, false);
    }
}

} // namespace

const ResourceRecord* FindResourceRecord(const std::string& name, uint16_t type) {
    EnsureLoaded();
    if (HiddenNames.count(FoldAnsiCase(name)) != 0) {
        return nullptr;
    }
    return FindRecord(name, type);
}

bool IsResourceRecord(const void* pointer) {
    for (const ResourceRecord& record : Records) {
        if (&record == pointer) {
            return true;
        }
    }
    return false;
}

const DialogTemplate* FindDialogTemplate(const std::string& name) {
    const ResourceRecord* record = FindResourceRecord(name, TypeDialog);
    return record == nullptr ? nullptr : &record->Dialog;
}

const std::vector<uint8_t>* FindBitmapResource(const std::string& name) {
    const ResourceRecord* record = FindResourceRecord(name, TypeBitmap);
    return record == nullptr ? nullptr : &record->FileBytes;
}

void HideResource(const std::string& name) {
    EnsureMachineStarted();
    HiddenNames.insert(FoldAnsiCase(name));
}

void AddResourceScriptForTesting(const std::string& rcText) {
    EnsureLoaded();
    AddScript(rcText, "test resource script", true);
}

void ResetResources() {
    Records.clear();
    HiddenNames.clear();
    Loaded = false;
}
