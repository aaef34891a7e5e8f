#include "WindowFixture.h"

#include "ui/MainForm.h"

TWindowFixture::~TWindowFixture() { Destroy(); }

TMForm& TWindowFixture::Open()
{
    Destroy();
    Form = std::make_unique<TMForm>();
    Form->show();
    return *Form;
}

void TWindowFixture::Destroy() { Form.reset(); }

TMForm& TWindowFixture::Restart() { return Open(); }
