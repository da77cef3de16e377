#include "engine/registry_lib.h"

#include "backup/xml_writer.h"
#include "winui/message_box.h"

bool IsWindows9x() {
    return (GetVersion() & 0x80000000u) != 0;
}

CRegistryLib::CRegistryLib(engine::RegistryApi& registry) : CRegistryLib(registry, winui::SystemMessageBoxes()) {}

CRegistryLib::CRegistryLib(engine::RegistryApi& registry, winui::MessageBoxes& messages)
    : m_xmlWriter(std::make_unique<CXmlWriter>()), m_bWin9x(IsWindows9x()), m_registry(registry),
      m_messages(messages) {}

CRegistryLib::~CRegistryLib() = default;
