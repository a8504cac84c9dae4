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

int BaudOf(Baud rate)
{
    static const int rates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 128000, 256000};
    return rates[rate];
}

char ParityOf(Parity parity)
{
    static const char codes[] = {'N', 'E', 'O', 'M', 'S'};
    return codes[parity];
}

}  // namespace

SerialPort::SerialPort(std::unique_ptr<SerialDevice> device)
    : fDevice(device ? std::move(device) : std::make_unique<PosixSerialDevice>())
{
}

SerialPort::~SerialPort()
{
    ClosePort();
}

void SerialPort::SetStoredDevice(int portNumber, const std::string& path)
{
    if (path.empty())
        StoredDevices().erase(portNumber);
    else
        StoredDevices()[portNumber] = path;
}

std::string SerialPort::StoredDevice(int portNumber)
{
    auto it = StoredDevices().find(portNumber);
    return it == StoredDevices().end() ? std::string() : it->second;
}

std::string SerialPort::DevicePath(int portNumber)
{
    const std::string variable = "LINKWISE_COM" + std::to_string(portNumber);
    if (const char* value = std::getenv(variable.c_str()); value && *value)
        return value;
    std::string stored = StoredDevice(portNumber);
    if (!stored.empty())
        return stored;
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

bool SerialPort::OpenPort()
{
    ClosePort();
    fPath = DevicePath(static_cast<int>(fCommPort) + 1);
    if (fDevice->Open(fPath))
        ApplySettings();
    return fDevice->IsOpen();
}

bool SerialPort::IsBroken() const
{
    return IsOpen() && fDevice->IsBroken();
}

std::string SerialPort::OpenError() const
{
    if (IsOpen())
        return {};
    const std::string reason = fDevice->OpenError();
    return reason.empty() ? fPath + ": cannot be opened" : reason;
}

std::string SerialPort::BrokenText() const
{
    if (std::string own = fDevice->BrokenText(); !own.empty())
        return own;
    return fPath + ": the device is gone (unplugged, or the calculator's end closed).\r"
                   "It is opened again before the next operation.";
}

bool SerialPort::ClosePort()
{
    if (!IsOpen())
        return false;
    PurgeOutput();
    PurgeInput();
    fDevice->Close();
    return true;
}

bool SerialPort::IsOpen() const
{
    return fDevice->IsOpen();
}

void SerialPort::WriteData(const uint8_t* buffer, size_t count)
{
    if (!IsOpen())
        return;
    // The notifications see the bytes as text, which ends at the first zero.
    const std::string text(reinterpret_cast<const char*>(buffer),
                           strnlen(reinterpret_cast<const char*>(buffer), count));
    if (OnTransmit)
        OnTransmit(this, text);
    fDevice->Write(buffer, count);
    if (AfterTransmit)
        AfterTransmit(this, text);
}

size_t SerialPort::WriteSome(const uint8_t* buffer, size_t count)
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

bool SerialPort::WaitForRoom(int milliseconds, size_t backlog)
{
    return IsOpen() && fDevice->WaitForRoom(milliseconds, backlog);
}

void SerialPort::DropOutput()
{
    if (IsOpen())
        fDevice->DiscardOutput();
}

void SerialPort::Pause(int milliseconds)
{
    fDevice->Pause(milliseconds);
}

uint64_t SerialPort::LineMicros(size_t count) const
{
    const SerialLineSettings s = LineSettings();
    // Start bit, data bits, parity bit, stop bits.
    const uint64_t tenthBits =
        10 * (1 + uint64_t(s.dataBits) + (s.parity != 'N' ? 1 : 0)) + uint64_t(s.stopBitsTimesTen);
    return count * tenthBits * 100'000 / uint64_t(s.baudRate);
}

int SerialPort::ReadByte()
{
    if (!IsOpen() || fDevice->BytesWaiting() < 1)
        return -1;
    return fDevice->ReadOne();
}

void SerialPort::PurgeInput()
{
    if (IsOpen())
        fDevice->DiscardInput();
}

void SerialPort::PurgeOutput()
{
    // Deliberately empty: WriteData already waits until its bytes have left,
    // and throwing away queued output would lose bytes the other side has not
    // read yet (on a pseudo-terminal that is everything it has not read).
}

bool SerialPort::WaitForInput(int milliseconds)
{
    // Forwarded even while closed: the device then just lets the slice pass,
    // so a polling loop on a port that failed to open does not spin a core.
    return fDevice->WaitForInput(milliseconds);
}

void SerialPort::ApplySettings()
{
    if (IsOpen())
        fDevice->Apply(LineSettings());  // a refusal is not reported
}

SerialLineSettings SerialPort::LineSettings() const
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
    case fcNone:
        s.flow = SerialLineSettings::Flow::None;
        break;
    case fcXON_XOFF:
        s.flow = SerialLineSettings::Flow::XonXoff;
        break;
    case fcRTS_CTS:
        s.flow = SerialLineSettings::Flow::RtsCts;
        break;
    case fsDSR_DTR:
        s.flow = SerialLineSettings::Flow::DsrDtr;
        break;
    }
    s.xonChar = fXONChar;
    s.xoffChar = fXOFFChar;
    s.xonLim = fXONLim;
    s.xoffLim = fXOFFLim;
    s.errorChar = fErrorChar;
    s.eofChar = fEOFChar;
    return s;
}

template <typename T>
void SerialPort::Change(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    ApplySettings();
}

void SerialPort::SetCommPort(ComPort v)
{
    Change(fCommPort, v);
}
void SerialPort::SetBaudRate(Baud v)
{
    Change(fBaudRate, v);
}
void SerialPort::SetParityType(Parity v)
{
    Change(fParityType, v);
}
void SerialPort::SetParityErrorChecking(bool v)
{
    Change(fParityErrorChecking, v);
}
void SerialPort::SetParityErrorChar(uint8_t v)
{
    Change(fParityErrorChar, v);
}
void SerialPort::SetParityErrorReplacement(bool v)
{
    Change(fParityErrorReplacement, v);
}
void SerialPort::SetStopBits(StopBitCount v)
{
    Change(fStopBits, v);
}
void SerialPort::SetDataBits(DataBitCount v)
{
    Change(fDataBits, v);
}
void SerialPort::SetXONChar(uint8_t v)
{
    Change(fXONChar, v);
}
void SerialPort::SetXOFFChar(uint8_t v)
{
    Change(fXOFFChar, v);
}
void SerialPort::SetXONLim(uint16_t v)
{
    Change(fXONLim, v);
}
void SerialPort::SetXOFFLim(uint16_t v)
{
    Change(fXOFFLim, v);
}
void SerialPort::SetErrorChar(uint8_t v)
{
    Change(fErrorChar, v);
}
void SerialPort::SetFlowControl(Handshake v)
{
    Change(fFlowControl, v);
}
void SerialPort::SetStripNullChars(bool v)
{
    Change(fStripNullChars, v);
}
void SerialPort::SetEOFChar(uint8_t v)
{
    Change(fEOFChar, v);
}
