#pragma once
// One XML element as the writer needs it: a name and its attributes in insertion order.
#include <cstddef>
#include <string>
#include <vector>

class CXmlElement {
public:
    explicit CXmlElement(std::string name) : m_strName(std::move(name)) {}

    // Replaces the value of an attribute of exactly this name in place, or appends a new one.
    void AddAttribute(const std::string& name, const std::string& value);

    const std::string& GetName() const { return m_strName; }
    std::size_t GetAttributeCount() const { return m_arrNames.size(); }
    // An index out of range gives the empty text.
    const std::string& GetAttributeName(std::size_t index) const;
    const std::string& GetAttributeValue(std::size_t index) const;

private:
    std::string m_strName;
    std::vector<std::string> m_arrNames;
    std::vector<std::string> m_arrValues; // parallel to m_arrNames
};
