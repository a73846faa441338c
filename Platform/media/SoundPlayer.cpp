// BSoundPlayer over Qt Multimedia. Every play gets a QAudioSink of its own on the player's
// output thread, fed from a copy of the samples converted to what Qt takes (native byte
// order; signed 8-bit and double samples turned into unsigned 8-bit and float). The
// virtual output keeps the same bookkeeping and lets a play last its duration.
#include <SoundPlayer.h>

#include "SoundDevicePrivate.h"

#include <OS.h>
#include <Sound.h>

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

namespace BPrivate {

namespace {

std::atomic<SoundDevice> sTestDevice { SoundDevice::kSystem };

} // namespace

void
set_sound_device(SoundDevice device)
{
	sTestDevice = device;
}

SoundDevice
sound_device()
{
	return sTestDevice;
}

struct Play {
	BSound* sound = nullptr;
	bigtime_t start = 0;
	bigtime_t end = 0; // virtual output: when the play has sounded its length
	float volume = 1.0f;
	bool launched = false;
	bool done = false;
	QAudioSink* sink = nullptr; // owned by the output thread
	QBuffer* buffer = nullptr;
};

class SoundPlayerData {
public:
	media_raw_audio_format format = media_raw_audio_format::wildcard;
	status_t status = B_NO_INIT;
	SoundDevice device = SoundDevice::kNone;
	QAudioDevice output;
	QThread* thread = nullptr;
	QObject* context = nullptr; // lives on the thread; sinks are created there
	BSoundPlayer::EventNotifierFunc notifier = nullptr;
	void* cookie = nullptr;

	std::mutex lock;
	std::condition_variable changed;
	std::map<play_id, Play> plays;
	play_id nextId = 1;
	bool running = false;
	bool hasData = false;
	float volume = 1.0f;

	void Launch(play_id id, Play& play);
	void Finish(play_id id);
	void Expire();
	void RunOnThread(std::function<void()> function, bool wait);
};

namespace {

// The samples as Qt plays them, or an empty array when Qt has no form for them.
QByteArray
convert_samples(const BSound& sound, QAudioFormat& qtFormat)
{
	const media_raw_audio_format& format = sound.Format();
	const size_t sampleSize = format.format & media_raw_audio_format::B_AUDIO_SIZE_MASK;
	const bool swap = format.byte_order != B_MEDIA_HOST_ENDIAN && sampleSize > 1;
	const size_t samples = sound.Size() / sampleSize;
	const uint8* in = static_cast<const uint8*>(sound.Data());
	qtFormat.setSampleRate(int(format.frame_rate));
	qtFormat.setChannelCount(int(format.channel_count));

	QByteArray out;
	switch (format.format) {
		case media_raw_audio_format::B_AUDIO_UCHAR:
		case media_raw_audio_format::B_AUDIO_CHAR:
			qtFormat.setSampleFormat(QAudioFormat::UInt8);
			out = QByteArray(reinterpret_cast<const char*>(in), qsizetype(samples));
			if (format.format == media_raw_audio_format::B_AUDIO_CHAR) {
				for (char& sample : out)
					sample = char(uint8(sample) ^ 0x80);
			}
			return out;
		case media_raw_audio_format::B_AUDIO_SHORT:
			qtFormat.setSampleFormat(QAudioFormat::Int16);
			break;
		case media_raw_audio_format::B_AUDIO_INT:
			qtFormat.setSampleFormat(QAudioFormat::Int32);
			break;
		case media_raw_audio_format::B_AUDIO_FLOAT:
		case media_raw_audio_format::B_AUDIO_DOUBLE:
			qtFormat.setSampleFormat(QAudioFormat::Float);
			break;
		default:
			return out;
	}
	const size_t outSize = format.format == media_raw_audio_format::B_AUDIO_DOUBLE ? 4 : sampleSize;
	out.resize(qsizetype(samples * outSize));
	char* target = out.data();
	for (size_t i = 0; i < samples; i++) {
		uint8 sample[8];
		memcpy(sample, in + i * sampleSize, sampleSize);
		if (swap) {
			for (size_t a = 0, b = sampleSize - 1; a < b; a++, b--)
				std::swap(sample[a], sample[b]);
		}
		if (format.format == media_raw_audio_format::B_AUDIO_DOUBLE) {
			double value;
			memcpy(&value, sample, sizeof(value));
			const float narrowed = float(value);
			memcpy(target + i * outSize, &narrowed, sizeof(narrowed));
		} else {
			memcpy(target + i * outSize, sample, sampleSize);
		}
	}
	return out;
}

} // namespace

void
SoundPlayerData::RunOnThread(std::function<void()> function, bool wait)
{
	if (context == nullptr)
		return;
	QMetaObject::invokeMethod(context, std::move(function),
		wait && QThread::currentThread() != thread ? Qt::BlockingQueuedConnection
												   : Qt::QueuedConnection);
}

// Called with the lock held.
void
SoundPlayerData::Launch(play_id id, Play& play)
{
	play.launched = true;
	const bigtime_t now = system_time();
	const bigtime_t delay = play.start > now ? play.start - now : 0;
	if (device == SoundDevice::kVirtual) {
		play.end = now + delay + play.sound->Duration();
		return;
	}
	BSound* sound = play.sound;
	const float playVolume = play.volume * volume;
	RunOnThread(
		[this, id, sound, playVolume, delay] {
			QTimer::singleShot(int(delay / 1000), context, [this, id, sound, playVolume] {
				QAudioFormat qtFormat;
				QByteArray samples = convert_samples(*sound, qtFormat);
				std::unique_lock<std::mutex> locker(lock);
				auto found = plays.find(id);
				if (found == plays.end() || found->second.done)
					return;
				if (samples.isEmpty() || !output.isFormatSupported(qtFormat)) {
					locker.unlock();
					Finish(id);
					return;
				}
				Play& current = found->second;
				current.buffer = new QBuffer(context);
				current.buffer->setData(samples);
				current.buffer->open(QIODevice::ReadOnly);
				current.sink = new QAudioSink(output, qtFormat, context);
				current.sink->setVolume(playVolume);
				QObject::connect(current.sink, &QAudioSink::stateChanged, context,
					[this, id](QAudio::State state) {
						if (state == QAudio::IdleState || state == QAudio::StoppedState)
							Finish(id);
					});
				QAudioSink* sink = current.sink;
				QBuffer* buffer = current.buffer;
				locker.unlock();
				sink->start(buffer);
				if (sink->error() != QAudio::NoError)
					Finish(id);
			});
		},
		false);
}

// Ends a play: its sink goes (on the output thread), its sound reference is let go.
void
SoundPlayerData::Finish(play_id id)
{
	QAudioSink* sink = nullptr;
	QBuffer* buffer = nullptr;
	BSound* sound = nullptr;
	{
		std::lock_guard<std::mutex> locker(lock);
		auto found = plays.find(id);
		if (found == plays.end())
			return;
		sink = found->second.sink;
		buffer = found->second.buffer;
		sound = found->second.sound;
		plays.erase(found);
	}
	if (sink != nullptr) {
		RunOnThread(
			[sink, buffer] {
				sink->disconnect();
				sink->stop();
				delete sink;
				delete buffer;
			},
			false);
	}
	if (sound != nullptr)
		sound->ReleaseRef();
	changed.notify_all();
}

// The virtual output's plays that have sounded their length end.
void
SoundPlayerData::Expire()
{
	if (device != SoundDevice::kVirtual)
		return;
	std::vector<play_id> ended;
	{
		std::lock_guard<std::mutex> locker(lock);
		const bigtime_t now = system_time();
		for (const auto& [id, play] : plays) {
			if (play.launched && play.end <= now)
				ended.push_back(id);
		}
	}
	for (play_id id : ended)
		Finish(id);
}

} // namespace BPrivate

using BPrivate::SoundDevice;

BSoundPlayer::BSoundPlayer(const char* name, BufferPlayerFunc playerFunction,
	EventNotifierFunc eventNotifierFunction, void* cookie) :
	BSoundPlayer(NULL, name, playerFunction, eventNotifierFunction, cookie)
{
}

BSoundPlayer::BSoundPlayer(const media_raw_audio_format* format, const char* name,
	BufferPlayerFunc playerFunction, EventNotifierFunc eventNotifierFunction, void* cookie) :
	fData(std::make_unique<BPrivate::SoundPlayerData>())
{
	BPrivate::SoundPlayerData& data = *fData;
	data.notifier = eventNotifierFunction;
	data.cookie = cookie;
	if (format != NULL)
		data.format = *format;
	else {
		data.format.frame_rate = 44100;
		data.format.channel_count = 2;
		data.format.format = media_raw_audio_format::B_AUDIO_FLOAT;
		data.format.byte_order = B_MEDIA_HOST_ENDIAN;
		data.format.buffer_size = 4096;
	}
	if (playerFunction != NULL) {
		data.status = B_NOT_SUPPORTED;
		return;
	}

	data.device = BPrivate::sound_device();
	if (data.device == SoundDevice::kSystem) {
		// Without an application object Qt cannot look for outputs: no output, then.
		if (QCoreApplication::instance() != nullptr)
			data.output = QMediaDevices::defaultAudioOutput();
		if (data.output.isNull())
			data.device = SoundDevice::kNone;
	}
	if (data.device == SoundDevice::kNone) {
		data.status = B_MEDIA_SYSTEM_FAILURE;
		return;
	}
	if (data.device == SoundDevice::kSystem) {
		data.thread = new QThread;
		data.thread->setObjectName(
			name != NULL ? QString::fromUtf8(name) : QString("sound player"));
		data.context = new QObject;
		data.context->moveToThread(data.thread);
		data.thread->start();
	}
	data.status = B_OK;
}

BSoundPlayer::~BSoundPlayer()
{
	Stop(true, true);
	BPrivate::SoundPlayerData& data = *fData;
	if (data.thread != nullptr) {
		// The context goes with the thread's last events; sinks were deleted by Stop().
		data.thread->quit();
		data.thread->wait();
		delete data.context;
		delete data.thread;
	}
}

status_t
BSoundPlayer::InitCheck()
{
	return fData->status;
}

media_raw_audio_format
BSoundPlayer::Format() const
{
	return fData->format;
}

status_t
BSoundPlayer::Start()
{
	BPrivate::SoundPlayerData& data = *fData;
	if (data.status != B_OK)
		return data.status;
	{
		std::lock_guard<std::mutex> locker(data.lock);
		if (data.running)
			return B_OK;
		data.running = true;
		for (auto& [id, play] : data.plays) {
			if (!play.launched)
				data.Launch(id, play);
		}
	}
	if (data.notifier != nullptr)
		data.notifier(data.cookie, B_STARTED, this);
	return B_OK;
}

void
BSoundPlayer::Stop(bool block, bool flush)
{
	BPrivate::SoundPlayerData& data = *fData;
	if (data.status != B_OK)
		return;
	std::vector<play_id> ended;
	bool wasRunning;
	{
		std::lock_guard<std::mutex> locker(data.lock);
		wasRunning = data.running;
		data.running = false;
		for (const auto& [id, play] : data.plays) {
			if (play.launched || flush)
				ended.push_back(id);
		}
	}
	for (play_id id : ended)
		data.Finish(id);
	if (block)
		data.RunOnThread([] {}, true);
	if (wasRunning && data.notifier != nullptr)
		data.notifier(data.cookie, B_STOPPED, this);
}

play_id
BSoundPlayer::StartPlaying(BSound* sound, bigtime_t atTime)
{
	return StartPlaying(sound, atTime, 1.0f);
}

play_id
BSoundPlayer::StartPlaying(BSound* sound, bigtime_t atTime, float withVolume)
{
	BPrivate::SoundPlayerData& data = *fData;
	if (data.status != B_OK || sound == NULL || sound->InitCheck() != B_OK)
		return 0;
	data.Expire();
	std::lock_guard<std::mutex> locker(data.lock);
	const play_id id = data.nextId++;
	if (data.nextId <= 0)
		data.nextId = 1;
	BPrivate::Play& play = data.plays[id];
	play.sound = sound->AcquireRef();
	play.start = atTime;
	play.volume = withVolume;
	if (data.running)
		data.Launch(id, play);
	return id;
}

status_t
BSoundPlayer::SetSoundVolume(play_id id, float newVolume)
{
	BPrivate::SoundPlayerData& data = *fData;
	std::lock_guard<std::mutex> locker(data.lock);
	auto found = data.plays.find(id);
	if (found == data.plays.end())
		return B_BAD_VALUE;
	found->second.volume = newVolume;
	QAudioSink* sink = found->second.sink;
	const float volume = newVolume * data.volume;
	if (sink != nullptr)
		data.RunOnThread([sink, volume] { sink->setVolume(volume); }, false);
	return B_OK;
}

bool
BSoundPlayer::IsPlaying(play_id id)
{
	BPrivate::SoundPlayerData& data = *fData;
	data.Expire();
	std::lock_guard<std::mutex> locker(data.lock);
	return data.plays.find(id) != data.plays.end();
}

status_t
BSoundPlayer::StopPlaying(play_id id)
{
	BPrivate::SoundPlayerData& data = *fData;
	{
		std::lock_guard<std::mutex> locker(data.lock);
		if (data.plays.find(id) == data.plays.end())
			return B_BAD_VALUE;
	}
	data.Finish(id);
	return B_OK;
}

status_t
BSoundPlayer::WaitForSound(play_id id)
{
	BPrivate::SoundPlayerData& data = *fData;
	if (data.status != B_OK)
		return data.status;
	for (;;) {
		data.Expire();
		std::unique_lock<std::mutex> locker(data.lock);
		auto found = data.plays.find(id);
		if (found == data.plays.end())
			return B_OK;
		if (!data.running)
			return B_ERROR; // a play that waits for Start() would never end
		const bigtime_t end = found->second.end;
		if (data.device == SoundDevice::kVirtual) {
			const bigtime_t now = system_time();
			locker.unlock();
			if (end > now)
				snooze(end - now);
		} else {
			data.changed.wait_for(locker, std::chrono::milliseconds(50));
		}
	}
}

float
BSoundPlayer::Volume()
{
	return fData->volume;
}

void
BSoundPlayer::SetVolume(float volume)
{
	BPrivate::SoundPlayerData& data = *fData;
	std::lock_guard<std::mutex> locker(data.lock);
	data.volume = volume < 0 ? 0 : volume;
	for (auto& [id, play] : data.plays) {
		QAudioSink* sink = play.sink;
		const float playVolume = play.volume * data.volume;
		if (sink != nullptr)
			data.RunOnThread([sink, playVolume] { sink->setVolume(playVolume); }, false);
	}
}

bool
BSoundPlayer::HasData()
{
	BPrivate::SoundPlayerData& data = *fData;
	data.Expire();
	std::lock_guard<std::mutex> locker(data.lock);
	if (data.hasData)
		return true;
	for (const auto& [id, play] : data.plays) {
		if (play.launched)
			return true;
	}
	return false;
}

void
BSoundPlayer::SetHasData(bool hasData)
{
	std::lock_guard<std::mutex> locker(fData->lock);
	fData->hasData = hasData;
}
