#pragma once

#include <QString>
#include <QToolButton>

namespace kestrel {

// A picture button with a free text tag. The toolbar's buttons keep the open flag of the window
// each one opens in their tag, as "True" or "False".
class TagButton : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(QString Tag READ tag WRITE setTag)
public:
    using QToolButton::QToolButton;

    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }
    // The tag read as a flag: "True" in any case.
    bool flag() const { return m_tag.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0; }
    void setFlag(bool on) { m_tag = on ? QStringLiteral("True") : QStringLiteral("False"); }

private:
    QString m_tag;
};

} // namespace kestrel
