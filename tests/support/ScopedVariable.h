// Sets an environment variable (or removes it, for a null value) for the life of the object
// and puts the old value back afterwards.
#ifndef TESTS_SCOPED_VARIABLE_H
#define TESTS_SCOPED_VARIABLE_H

#include <cstdlib>
#include <string>

class ScopedVariable {
public:
	ScopedVariable(const char* name, const char* value) :
		fName(name)
	{
		const char* old = getenv(name);
		fWasSet = old != nullptr;
		if (fWasSet)
			fOld = old;
		if (value != nullptr)
			setenv(name, value, 1);
		else
			unsetenv(name);
	}

	ScopedVariable(const char* name, const std::string& value) :
		ScopedVariable(name, value.c_str())
	{
	}

	~ScopedVariable()
	{
		if (fWasSet)
			setenv(fName.c_str(), fOld.c_str(), 1);
		else
			unsetenv(fName.c_str());
	}

	ScopedVariable(const ScopedVariable&) = delete;
	ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
	std::string fName;
	std::string fOld;
	bool fWasSet;
};

#endif // TESTS_SCOPED_VARIABLE_H
