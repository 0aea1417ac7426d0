#pragma once
// One attribute of an element: its name as written in the file (prefix included) and its
// value without the quotes.

#include <QString>

class clsNodeAttribute {
public:
    clsNodeAttribute() = default;
    clsNodeAttribute(const QString& name, const QString& value) : m_name(name), m_value(value) {}

    const QString& AttribValue() const { return m_value; }
    void setAttribValue(const QString& value) { m_value = value; }
    const QString& AttribName() const { return m_name; }
    void setAttribName(const QString& name) { m_name = name; }

private:
    QString m_name;
    QString m_value;
};
