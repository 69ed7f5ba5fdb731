#include "tests/ui/WindowImage.h"

#include "tests/support/TestFolder.h"

#include <stdio.h>

#include <vector>

SIZE SaveWindowImage(HWND window, const std::string& path)
{
    SIZE none = {0, 0};
    RECT frame;
    if (!GetWindowRect(window, &frame))
        return none;
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int stride = (width * 3 + 3) & ~3;

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * height);

    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, NULL, 0);
    bool copied = false;
    if (bitmap != NULL)
    {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
    }
    bool written = false;
    if (copied)
    {
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(header);
        file.bfSize = file.bfOffBits + header.biSizeImage;
        FILE* out = fopen(path.c_str(), "wb");
        if (out != NULL)
        {
            written = fwrite(&file, sizeof(file), 1, out) == 1 && fwrite(&header, sizeof(header), 1, out) == 1 &&
                      fwrite(bits, header.biSizeImage, 1, out) == 1;
            written = fclose(out) == 0 && written;
        }
    }
    if (bitmap != NULL)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    if (!written)
        return none;
    SIZE size = {width, height};
    return size;
}

std::string ArtefactPath(const std::string& name)
{
    std::string folder = TestExeFolder() + "\\..\\artefacts";
    CreateDirectoryA(folder.c_str(), NULL);
    return folder + "\\" + name;
}
