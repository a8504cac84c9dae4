#pragma once
#include <QImage>
#include <string>

#include "files/widgets/ViewerWindow.h"

class MonoPicture;
class QLabel;

// "Pictureviewer": a picture variable, or a picture file beside a variable file.
class PictureViewer : public ViewerWindow {
    Q_OBJECT
public:
    explicit PictureViewer(Dialogs& dialogs, QWidget* parent = nullptr);

    // A white image of the picture's size with its black pixels drawn.
    void ShowPicture(const MonoPicture& picture);
    // A .bmp or .png file; false when it cannot be read.
    bool LoadFromFile(const std::string& path);
    QImage Image() const { return fImage; }

    QLabel* pictureLabel;

protected:
    void onSaveAsClicked() override;
    void onCopyClicked() override;

private:
    void SetImage(const QImage& image);
    QImage fImage;
};
