#include "app/window/SendParamSteps.h"

#include "app/window/FileSendSeam.h"
#include "app/window/TForm1.h"

void InstallSendParamSteps(TForm1& form, TTI92& link)
{
    form.SetStepAction(taskSendParam, 2, [&form, send = FormFileListSend(form, link)] {
        form.VarListClear();
        if (form.ParamCommands.ParamMode && form.ParamCommands.Has(cmdSEND))
            send({form.ParamCommands.FileName});
    });
}
