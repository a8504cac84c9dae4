#pragma once
#include <QImage>
#include <string>

#include "files/widgets/TViewerForm.h"

class MonoPicture;
class QLabel;

// "Pictureviewer": a picture variable, or a picture file beside a variable file.
class TPictureForm : public TViewerForm {
    Q_OBJECT
public:
    explicit TPictureForm(Dialogs& dialogs, QWidget* parent = nullptr);

    // A white image of the picture's size with its black pixels drawn.
    void ShowPicture(const MonoPicture& picture);
    // A .bmp or .png file; false when it cannot be read.
    bool LoadFromFile(const std::string& path);
    QImage Image() const { return fImage; }

    QLabel* Image1;

protected:
    void SaveAsClick() override;
    void CopyClick() override;

private:
    void SetImage(const QImage& image);
    QImage fImage;
};
