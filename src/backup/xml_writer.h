#pragma once
// Placeholder until the XML writer lands.
class CXmlWriter {};
