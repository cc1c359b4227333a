#include "engine/HfInstallerThreadException.h"

HfInstallerThreadException::HfInstallerThreadException (ErrorType errorType, const juce::String& detail)
    : type (errorType), message (detail)
{
}

HfInstallerThreadException::HfInstallerThreadException (const HfInstallerThreadException& other) = default;
HfInstallerThreadException& HfInstallerThreadException::operator= (const HfInstallerThreadException& other) = default;
HfInstallerThreadException::~HfInstallerThreadException() = default;

juce::String HfInstallerThreadException::getMessage() const
{
    return message;
}
