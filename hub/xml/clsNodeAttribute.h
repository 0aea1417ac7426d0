#pragma once
// One attribute of an element: its name as written in the file (prefix included) and its
// value without the quotes. Both are shared texts (see SharedText.h): a copy of an
// attribute shares them, and setting a value changes this attribute alone.

#include "hub/xml/SharedText.h"

#include <QString>

class clsNodeAttribute {
public:
    clsNodeAttribute() = default;
    clsNodeAttribute(const QString& name, const QString& value) : m_name(name), m_value(value) {}
    clsNodeAttribute(xmltree::SharedText name, xmltree::SharedText value)
        : m_name(std::move(name))
        , m_value(std::move(value))
    {
    }

    QString AttribValue() const { return m_value.str(); }
    void setAttribValue(const QString& value) { m_value = xmltree::SharedText(value); }
    QString AttribName() const { return m_name.str(); }
    void setAttribName(const QString& name) { m_name = xmltree::SharedText(name); }

    const xmltree::SharedText& nameText() const { return m_name; }
    const xmltree::SharedText& valueText() const { return m_value; }

private:
    xmltree::SharedText m_name;
    xmltree::SharedText m_value;
};
