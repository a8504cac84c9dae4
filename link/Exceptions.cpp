#include "link/Exceptions.h"

std::string ErrorClassName(const std::exception& e)
{
    if (auto* own = dynamic_cast<const ELinkwiseError*>(&e))
        return own->ClassName();
    return "Exception";
}

std::string ErrorDialogText(const std::string& activity, const std::exception& e)
{
    return "Some error occured while " + activity + "!" + "\r\rMore info:\rErrorclass: " + ErrorClassName(e) + "\r" +
           "Message: " + "\r" + e.what();
}
