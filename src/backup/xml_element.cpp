#include "backup/xml_element.h"

namespace {
const std::string kEmpty;
}

void CXmlElement::AddAttribute(const std::string& name, const std::string& value) {
    for (std::size_t i = 0; i < m_arrNames.size(); ++i) {
        if (m_arrNames[i] == name) {
            m_arrValues[i] = value;
            return;
        }
    }
    m_arrNames.push_back(name);
    m_arrValues.push_back(value);
}

const std::string& CXmlElement::GetAttributeName(std::size_t index) const {
    return index < m_arrNames.size() ? m_arrNames[index] : kEmpty;
}

const std::string& CXmlElement::GetAttributeValue(std::size_t index) const {
    return index < m_arrValues.size() ? m_arrValues[index] : kEmpty;
}
