#pragma once

#include <QDialog>

namespace kestrel {

struct Program;

// The about window: the product's name and picture, what it does, and the maker's address.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(Program& program, QWidget* parent);
    ~frmAbout() override;

private:
    Program& m_program;
};

} // namespace kestrel
