// Sound events: the ".Current" sound of each event of each application whose file is gone.
#include "engine/exact_text.h"
#include "engine/family_support.h"
#include "engine/registry_lib.h"

namespace {

constexpr char kAppsKey[] = "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps";

} // namespace

engine::Verdict CRegistryLib::JudgeSoundValue(const std::string& /*keyPath*/, const CRegValue& value) {
    using engine::Verdict;
    std::string sound;
    if (value.m_strName != kDefaultValueName || !engine::StringText(&value, &sound)) {
        return Verdict::CannotJudge; // no sound set: the event is silent already
    }
    const Verdict verdict = Judge().Judge(engine::Reference::Path, sound);
    std::string name = sound;
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
        name = name.substr(1, name.size() - 2);
    }
    // A bare name is played from the Windows Media folder as well as from where programs are searched for.
    if (verdict != Verdict::Missing || name.find_first_of("\\/:%") != std::string::npos) {
        return verdict;
    }
    return Judge().Judge(engine::Reference::Path, "%SystemRoot%\\Media\\" + name);
}

void CRegistryLib::ScanRegistrySounds(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    std::string subKey = kAppsKey;
    const std::string root = SeperateMainKey(subKey);
    engine::KeyHandle apps(m_registry);
    if (OpenKey(root, subKey, apps.Receive()) == ERROR_SUCCESS) {
        engine::EachSubKey(m_registry, m_stop, apps.Get(), [&](const std::string& app, HKEY appKey) {
            engine::EachSubKey(m_registry, m_stop, appKey, [&](const std::string& event, HKEY eventKey) {
                engine::KeyHandle current(m_registry);
                if (m_registry.OpenKey(eventKey, ".Current", current.Receive()) != ERROR_SUCCESS) {
                    return;
                }
                ++counts.scanned;
                RegValueList values;
                AddRegistryValues(current.Get(), values);
                const CRegValue* sound = engine::FindValue(values, kDefaultValueName);
                const std::string keyPath = std::string(kAppsKey) + "\\" + app + "\\" + event + "\\.Current";
                if (sound == nullptr || !engine::ValueTextExactNamed(m_registry, current.Get(), "")) {
                    return;
                }
                if (JudgeSoundValue(keyPath, *sound) == engine::Verdict::Missing &&
                    AddFinding(kCategorySound, kKindValue, keyPath, std::make_unique<CRegValue>(*sound))) {
                    ++counts.found;
                }
                Progress(Judge().TestedPath(), "Scanning Sound Files", counts);
            });
        });
    }
    AppendRow(errors, kDescriptionSounds, counts);
}
