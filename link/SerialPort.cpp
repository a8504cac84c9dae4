#include "link/SerialPort.h"

#include <cstdlib>
#include <cstring>

#include "link/PosixSerialDevice.h"

namespace {

std::map<int, std::string>& StoredDevices()
{
    static std::map<int, std::string> devices;
    return devices;
}

int BaudOf(TBaudRate rate)
{
    static const int rates[] = {110,   300,   600,   1200,  2400,   4800,  9600,
                                14400, 19200, 38400, 56000, 128000, 256000};
    return rates[rate];
}

char ParityOf(TParityType parity)
{
    static const char codes[] = {'N', 'E', 'O', 'M', 'S'};
    return codes[parity];
}

}  // namespace

TSerialPort::TSerialPort(std::unique_ptr<SerialDevice> device)
    : fDevice(device ? std::move(device) : std::make_unique<PosixSerialDevice>())
{
}

TSerialPort::~TSerialPort()
{
    ClosePort();
}

void TSerialPort::SetStoredDevice(int portNumber, const std::string& path)
{
    if (path.empty())
        StoredDevices().erase(portNumber);
    else
        StoredDevices()[portNumber] = path;
}

std::string TSerialPort::StoredDevice(int portNumber)
{
    auto it = StoredDevices().find(portNumber);
    return it == StoredDevices().end() ? std::string() : it->second;
}

std::string TSerialPort::DevicePath(int portNumber)
{
    const std::string variable = "LINKWISE_COM" + std::to_string(portNumber);
    if (const char* value = std::getenv(variable.c_str()); value && *value)
        return value;
    std::string stored = StoredDevice(portNumber);
    if (!stored.empty())
        return stored;
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

bool TSerialPort::OpenPort()
{
    ClosePort();
    fPath = DevicePath(static_cast<int>(fCommPort) + 1);
    if (fDevice->Open(fPath))
        ApplySettings();
    return fDevice->IsOpen();
}

bool TSerialPort::IsBroken() const
{
    return IsOpen() && fDevice->IsBroken();
}

std::string TSerialPort::OpenError() const
{
    if (IsOpen())
        return {};
    const std::string reason = fDevice->OpenError();
    return reason.empty() ? fPath + ": cannot be opened" : reason;
}

std::string TSerialPort::BrokenText() const
{
    if (std::string own = fDevice->BrokenText(); !own.empty())
        return own;
    return fPath + ": the device is gone (unplugged, or the calculator's end closed).\r"
                   "It is opened again before the next operation.";
}

bool TSerialPort::ClosePort()
{
    if (!IsOpen())
        return false;
    PurgeOutput();
    PurgeInput();
    fDevice->Close();
    return true;
}

bool TSerialPort::IsOpen() const
{
    return fDevice->IsOpen();
}

void TSerialPort::WriteData(const uint8_t* buffer, size_t count)
{
    if (!IsOpen())
        return;
    // The notifications see the bytes as text, which ends at the first zero.
    const std::string text(reinterpret_cast<const char*>(buffer), strnlen(reinterpret_cast<const char*>(buffer), count));
    if (OnTransmit)
        OnTransmit(this, text);
    fDevice->Write(buffer, count);
    if (AfterTransmit)
        AfterTransmit(this, text);
}

size_t TSerialPort::WriteSome(const uint8_t* buffer, size_t count)
{
    if (!IsOpen())
        return 0;
    const size_t taken = fDevice->WriteSome(buffer, count);
    if (taken > 0 && (OnTransmit || AfterTransmit)) {
        const auto* text = reinterpret_cast<const char*>(buffer);
        const std::string shown(text, strnlen(text, taken));
        if (OnTransmit)
            OnTransmit(this, shown);
        if (AfterTransmit)
            AfterTransmit(this, shown);
    }
    return taken;
}

bool TSerialPort::WaitForRoom(int milliseconds, size_t backlog)
{
    return IsOpen() && fDevice->WaitForRoom(milliseconds, backlog);
}

uint64_t TSerialPort::LineMicros(size_t count) const
{
    const SerialLineSettings s = LineSettings();
    // Start bit, data bits, parity bit, stop bits.
    const uint64_t tenthBits =
        10 * (1 + uint64_t(s.dataBits) + (s.parity != 'N' ? 1 : 0)) + uint64_t(s.stopBitsTimesTen);
    return count * tenthBits * 100'000 / uint64_t(s.baudRate);
}

int TSerialPort::ReadByte()
{
    if (!IsOpen() || fDevice->BytesWaiting() < 1)
        return -1;
    return fDevice->ReadOne();
}

void TSerialPort::PurgeInput()
{
    if (IsOpen())
        fDevice->DiscardInput();
}

void TSerialPort::PurgeOutput()
{
    // Deliberately empty: WriteData already waits until its bytes have left,
    // and throwing away queued output would lose bytes the other side has not
    // read yet (on a pseudo-terminal that is everything it has not read).
}

bool TSerialPort::WaitForInput(int milliseconds)
{
    // Forwarded even while closed: the device then just lets the slice pass,
    // so a polling loop on a port that failed to open does not spin a core.
    return fDevice->WaitForInput(milliseconds);
}

void TSerialPort::ApplySettings()
{
    if (IsOpen())
        fDevice->Apply(LineSettings());  // a refusal is not reported
}

SerialLineSettings TSerialPort::LineSettings() const
{
    SerialLineSettings s;
    s.baudRate = BaudOf(fBaudRate);
    s.dataBits = 4 + static_cast<int>(fDataBits);
    s.parity = ParityOf(fParityType);
    s.stopBitsTimesTen = fStopBits == sbOne ? 10 : fStopBits == sbOnePtFive ? 15 : 20;
    s.parityErrorChecking = fParityErrorChecking;
    s.parityErrorReplacement = fParityErrorReplacement;
    s.stripNullChars = fStripNullChars;
    switch (fFlowControl) {
    case fcNone: s.flow = SerialLineSettings::Flow::None; break;
    case fcXON_XOFF: s.flow = SerialLineSettings::Flow::XonXoff; break;
    case fcRTS_CTS: s.flow = SerialLineSettings::Flow::RtsCts; break;
    case fsDSR_DTR: s.flow = SerialLineSettings::Flow::DsrDtr; break;
    }
    s.xonChar = fXONChar;
    s.xoffChar = fXOFFChar;
    s.xonLim = fXONLim;
    s.xoffLim = fXOFFLim;
    s.errorChar = fErrorChar;
    s.eofChar = fEOFChar;
    return s;
}

template <typename T> void TSerialPort::Change(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    ApplySettings();
}

void TSerialPort::SetCommPort(TCommPort v) { Change(fCommPort, v); }
void TSerialPort::SetBaudRate(TBaudRate v) { Change(fBaudRate, v); }
void TSerialPort::SetParityType(TParityType v) { Change(fParityType, v); }
void TSerialPort::SetParityErrorChecking(bool v) { Change(fParityErrorChecking, v); }
void TSerialPort::SetParityErrorChar(uint8_t v) { Change(fParityErrorChar, v); }
void TSerialPort::SetParityErrorReplacement(bool v) { Change(fParityErrorReplacement, v); }
void TSerialPort::SetStopBits(TStopBits v) { Change(fStopBits, v); }
void TSerialPort::SetDataBits(TDataBits v) { Change(fDataBits, v); }
void TSerialPort::SetXONChar(uint8_t v) { Change(fXONChar, v); }
void TSerialPort::SetXOFFChar(uint8_t v) { Change(fXOFFChar, v); }
void TSerialPort::SetXONLim(uint16_t v) { Change(fXONLim, v); }
void TSerialPort::SetXOFFLim(uint16_t v) { Change(fXOFFLim, v); }
void TSerialPort::SetErrorChar(uint8_t v) { Change(fErrorChar, v); }
void TSerialPort::SetFlowControl(TFlowControl v) { Change(fFlowControl, v); }
void TSerialPort::SetStripNullChars(bool v) { Change(fStripNullChars, v); }
void TSerialPort::SetEOFChar(uint8_t v) { Change(fEOFChar, v); }
